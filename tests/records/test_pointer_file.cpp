// Pointer data files and text side files against bytes laid out by hand
// from the file format, and the kinds of file they may be.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "platform/codepage.h"
#include "records/pointer_file.h"
#include "tests/records/data_file_util.h"

using namespace datafile;

namespace {

// '*', padding 01 02 03, f1..f5 = 0x01020304, -2, INT_MIN, INT_MAX, 0;
// 'N', zero padding, f1..f5 = 1..5.
const std::string kTwoRecords(
    "*\x01\x02\x03\x04\x03\x02\x01\xFE\xFF\xFF\xFF\x00\x00\x00\x80\xFF\xFF\xFF\x7F\0\0\0\0"
    "N\0\0\0\x01\0\0\0\x02\0\0\0\x03\0\0\0\x04\0\0\0\x05\0\0\0",
    48);
const DrawRecord kRecords[2] = {{'*', {1, 2, 3}, 0x01020304, -2, INT_MIN, INT_MAX, 0},
                                {'N', {0, 0, 0}, 1, 2, 3, 4, 5}};

TEST(PointerFile, RecordsAreWrittenAndReadInTheFileByteOrder) {
  TempFolder dir;
  ASSERT_EQ(SavePointerData(dir / "a.zsy", kRecords, 2, {}), SaveStatus::kSaved);
  EXPECT_EQ(ReadBytes(dir / "a.zsy"), kTwoRecords);
  const PointerData read = ReadPointerData(dir / "a.zsy");
  EXPECT_EQ(std::pair(read.status, EncodeRecords(read.records.data(), int(read.records.size()))),
            std::pair(OpenStatus::kOpened, kTwoRecords));

  std::string full(std::size_t(kRecordSlots) * 24, 'z');
  full[4999 * 24] = '@';
  WriteBytes(dir / "full.zsy", full);
  const std::vector<DrawRecord> all = ReadPointerData(dir / "full.zsy").records;
  EXPECT_EQ(EncodeRecords(all.data(), int(all.size())), full);

  // An empty store: an empty file and no side file.
  ASSERT_EQ(SavePointerData(dir / "c.zsy", kRecords, 0, {}), SaveStatus::kSaved);
  EXPECT_EQ(
      std::tuple(ReadBytes(dir / "c.zsy"), ReadPointerData(dir / "c.zsy").status, dir.Entries()),
      std::tuple("", OpenStatus::kOpened, 3));
}

TEST(PointerFile, AFileNoSaveCouldHaveWrittenIsNotALesson) {
  TempFolder dir;
  const std::string largest(std::size_t(kRecordSlots) * 24, 'z');
  const std::pair<std::string, int> cases[] = {
      {kTwoRecords.substr(0, 47), -1},      {kTwoRecords + "*", -1},
      {largest + std::string(24, 'z'), -1}, {kTwoRecords + std::string(24, '\0'), 2},
      {"A" + kTwoRecords.substr(1), 0},     {"\x89PNG\r\n\x1A\n" + std::string(40, '\0'), 0}};
  for (const auto& [bytes, badRecord] : cases) {
    WriteBytes(dir / "x.zsy", bytes);
    const PointerData read = ReadPointerData(dir / "x.zsy");
    EXPECT_EQ(std::tuple(read.status, read.fileBytes, read.badRecord, read.records.size()),
              std::tuple(OpenStatus::kNotALesson, bytes.size(), badRecord, 0u))
        << bytes.size();
  }
}

// Names the folder takes, in any script and up to its longest: the files
// land under those names, nothing else stays in the folder, and a name one
// byte too long is refused before anything is written.
TEST(PointerFile, ANameInAnyScriptOrOfAnyLengthTheFolderTakesIsSavedAndReadBack) {
  TempFolder dir;
  const std::list<std::string> texts = {GBK("第一课"), ""};
  const DrawRecord withText[2] = {kRecords[0], {op::kText, {}, 1, 2, 30, 40, 0}};
  std::string longest;  // 255 bytes on disk, 170 in GBK
  for (int i = 0; i < 83; ++i) longest += "课";
  longest += "xy.件";
  const std::string names[] = {"第1课.课件", "x." + std::string(245, 'x'),
                               "x." + std::string(253, 'x'), longest};
  for (const std::string& name : names) {
    SCOPED_TRACE(name.size());
    ASSERT_EQ(SavePointerData(GBK(dir / name), withText, 2, texts), SaveStatus::kSaved);
    const PointerData read = ReadPointerData(GBK(dir / name));
    EXPECT_EQ(std::tuple(read.status, EncodeRecords(read.records.data(), int(read.records.size())),
                         read.texts, dir.Entries()),
              std::tuple(OpenStatus::kOpened, EncodeRecords(withText, 2), texts, 2))
        << "read back, beside its side file only";
    std::filesystem::remove(dir / name);
    std::filesystem::remove(plat::Utf8FromGbk(SideFilePath(GBK(dir / name))));
  }
  plat::FileError why = plat::FileError::kNone;
  EXPECT_EQ(SavePointerData(dir / ("x." + std::string(254, 'x')), kRecords, 2, {}, &why),
            SaveStatus::kCannotCreate);
  EXPECT_EQ(std::pair(why, dir.Entries()), std::pair(plat::FileError::kPathTooLong, 0L));
}

TEST(PointerFile, TheSideFileIsNamedByReplacingTheLastThreeCharacters) {
  EXPECT_EQ(SideFilePath("/d/lesson.dat"), "/d/lesson.xyp");
  EXPECT_EQ(SideFilePath("zs"), "xyp");
  EXPECT_EQ(SideFilePath("/d/zs"), "/d/xyp");  // never in the folder above
  EXPECT_EQ(SideFilePath(GBK("/d/第1课.课件")), GBK("/d/第1课xyp"));
  // Two-byte characters, one with a trail byte that reads as '\'.
  EXPECT_EQ(SideFilePath(GBK("/d/课件.嘰")), GBK("/d/课xyp"));
  EXPECT_EQ(SideFilePath(GBK("/d/a😀bc")), GBK("/d/axyp"));  // a four-byte character
  EXPECT_EQ(SideFilePath("/d/ab\x81"), "/d/xyp");           // a lone lead byte
}

TEST(PointerFile, TextsWithoutLineBreaksAreLinesAsTheyAreAndOthersAreEscaped) {
  TempFolder dir;
  const std::list<std::string> texts = {GBK("宋体"),    "",     "C:\\new\\n",
                                        "two\r\nlines", "cr\r", "\xFFn"};
  ASSERT_EQ(SavePointerData(dir / "t.zsy", kRecords, 1, texts), SaveStatus::kSaved);
  EXPECT_EQ(ReadBytes(dir / "t.xyp"),
            GBK("宋体") + "\r\n\r\nC:\\new\\n\r\ntwo\xFFr\xFFnlines\r\ncr\xFFr\r\n\xFF\xFFn\r\n");
  EXPECT_EQ(ReadPointerData(dir / "t.zsy").texts, texts);
  // Saving without texts takes away the side file an earlier save left
  // under that name: the lesson opens without texts it never had.
  ASSERT_EQ(SavePointerData(dir / "t.dat", kRecords, 2, {}), SaveStatus::kSaved);
  EXPECT_TRUE(ReadPointerData(dir / "t.dat").texts.empty());
  EXPECT_FALSE(std::filesystem::exists(dir / "t.xyp"));
  // A file named like a side file is none of itself, and stays.
  ASSERT_EQ(SavePointerData(dir / "t.xyp", kRecords, 2, {}), SaveStatus::kSaved);
  EXPECT_EQ(ReadPointerData(dir / "t.xyp").records.size(), 2u);
  EXPECT_EQ(SavePointerData(dir / "t.xyp", kRecords, 2, texts), SaveStatus::kCannotCreate);

  // Side files of any make: LF or CR LF, CR alone inside a line, no last
  // break, lone lead bytes, stray escapes, a 1 MB line, too many lines.
  const std::string mb(1 << 20, 'x');
  EXPECT_EQ(DecodeTexts("a\nb\r\n\r\ncr\ronly\x81\r\n" + mb + "\n\xFFz\xFF", true),
            (std::list<std::string>{"a", "b", "", "cr\ronly\x81", mb, "\xFFz\xFF"}));
  EXPECT_EQ(DecodeTexts("a\r\ncut", false), std::list<std::string>{"a"});
  EXPECT_EQ(DecodeTexts(std::string(3 * kMaxTextEntries, '\n'), true).size(), kMaxTextEntries);

  // A side file longer than the reader takes loses the text the limit cuts.
  WriteBytes(dir / "big.xyp", "a\r\n" + std::string(kMaxSideFileBytes, 'b') + "\r\n");
  WriteBytes(dir / "big.zsy", kTwoRecords);
  EXPECT_EQ(ReadPointerData(dir / "big.zsy").texts, std::list<std::string>{"a"});
}

TEST(PointerFile, OnlyRegularFilesAreOpenedOrReplacedAndNoFifoIsWaitedFor) {
  TempFolder dir;
  ASSERT_EQ(mkfifo((dir / "pipe.zsy").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((dir / "pipe.xyp").c_str(), 0600), 0);
  WriteBytes(dir / "pipe.dat", kTwoRecords);
  alarm(10);  // a wait on a FIFO ends the test run instead of hanging it
  EXPECT_EQ(ReadPointerData(dir / "pipe.zsy").status, OpenStatus::kCannotOpen);
  EXPECT_EQ(SavePointerData(dir / "pipe.zsy", kRecords, 1, {}), SaveStatus::kCannotCreate);
  EXPECT_TRUE(ReadPointerData(dir / "pipe.dat").texts.empty());
  EXPECT_EQ(SavePointerData(dir / "pipe.dat", kRecords, 1, {"t"}), SaveStatus::kCannotCreate);
  alarm(0);
  EXPECT_EQ(ReadPointerData(dir.path).status, OpenStatus::kCannotOpen);
  EXPECT_EQ(ReadPointerData("/dev/zero").status, OpenStatus::kCannotOpen);
  EXPECT_EQ(dir.Entries(), 3);
}

}  // namespace
