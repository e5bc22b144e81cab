// Saving and opening pointer data files through the board's commands, with
// scripted file dialogs and message boxes.
#include <climits>
#include <cstring>
#include <random>
#include <tuple>

#include "platform/codepage.h"
#include "platform/commdlg.h"
#include "platform/files.h"
#include "platform/modal.h"
#include "tests/records/data_file_util.h"
#include "tests/support/board_fixture.h"

namespace {

class DataFiles : public BoardTest {
 protected:
  // A line, a text over two lines and a rectangle, on the board's picture.
  void SetUp() override {
    BoardTest::SetUp();
    CBoardWnd& b = Board();
    b.AppendRecord(Rec(op::kLine, 300, 200, 20, 30));
    b.AppendRecord(Rec(op::kText, 100, 100, 260, 160));
    b.m_texts.push_back(GBK("第一行\r\n第二行"));
    b.AppendRecord(Rec(op::kRect, 400, 300, 200, 250));
    b.Replay(0, b.m_nCount, false);
    b.SnapshotBoard();
    Frame().m_barsHidden = false;
    drawn = Snap();
  }
  void Run(UINT command, const std::string& path) {
    m_services.fileAnswers = {path};
    Board().SendCommand(command);
  }
  bool Intact() {
    return Count() == 3 && Board().m_texts == std::list<std::string>{GBK("第一行\r\n第二行")} &&
           CountDifferences(drawn, Snap()) == 0 &&
           CountDifferences(drawn, Of(Board().m_bmpCurrent)) == 0;
  }
  std::string Says() {
    if (m_services.boxes.empty()) return "";
    const plat::ScriptedServices::Box box = m_services.boxes.back();
    return box.caption == GetAppTitle() && box.type == MB_OK ? plat::Utf8FromGbk(box.text) : "?";
  }
  // The fixed text, the file and the reason, each on a line.
  std::string Failure(const std::string& what, const std::string& path, plat::FileError why) {
    return what + "\n" + path + "\n" + plat::Utf8FromGbk(plat::FileErrorText(why));
  }

  TempFolder dir;
  Picture drawn;
};

TEST_F(DataFiles, AnOpenedDrawingComesBackWithItsTextsAndPicture) {
  Run(ID_SAVE_DATA, GBK(dir / "课件.zsy"));
  EXPECT_EQ(Board().m_strDataPath, GBK(dir / "课件.zsy"));
  m_services.boxAnswers = {IDOK};
  Board().OnClearAll();
  Run(ID_OPEN_DATA, GBK(dir / "课件.zsy"));
  EXPECT_EQ(std::pair(m_services.boxes.size(), m_services.pauses),
            std::pair(1ul, std::vector<unsigned>{1000}))
      << "only clear all asked";
  EXPECT_TRUE(Intact() && Frame().m_barsHidden);

  // Their titles are the ones the real dialogs show in the end-to-end tests.
  ASSERT_EQ(m_services.fileRequests.size(), 2u);
  for (const plat::FileDialogRequest& r : m_services.fileRequests)
    EXPECT_EQ(std::tuple(r.filter, r.defExt, r.flags),
              std::tuple(GBK("教鞭数据文件(*.zsy)|*.zsy||"), std::string("zsy"),
                         DWORD(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT)));
  // The open dialog starts in the folder of the lesson just saved.
  EXPECT_EQ(m_services.fileRequests[1].initialDir, GBK(dir.path));
}

TEST_F(DataFiles, AFailureSaysWhyAndLosesNeitherTheDrawingNorTheOldFiles) {
  WriteBytes(dir / "old.zsy", "old records");
  WriteBytes(dir / "old.xyp", "old texts");
  Run(ID_OPEN_DATA, "");  // cancelled
  Run(ID_OPEN_DATA, dir / "missing.zsy");
  EXPECT_EQ(Says(),
            Failure("文件不存在或打不开！", dir / "missing.zsy", plat::FileError::kNotFound));
  Run(ID_OPEN_DATA, "/proc/self/mem");  // EIO at once
  EXPECT_EQ(Says(), Failure("文件无法读取！", "/proc/self/mem", plat::FileError::kReadFailed));
  Run(ID_SAVE_DATA, dir / "gone/x.zsy");
  EXPECT_EQ(Says(), Failure("文件无法创建！", dir / "gone/x.zsy", plat::FileError::kCannotCreate));
  {
    FileSizeLimit limit(40);  // the texts fit, the records do not
    Run(ID_SAVE_DATA, dir / "old.zsy");
  }
  EXPECT_EQ(Says(), Failure("文件写入失败！", dir / "old.zsy", plat::FileError::kWriteFailed));
  EXPECT_TRUE(m_services.boxes.size() == 4 && Intact() && !Frame().m_barsHidden);
  Board().m_texts.back() += std::string(200, 'x');
  {
    FileSizeLimit limit(80);  // the records fit, the texts do not
    Run(ID_SAVE_DATA, dir / "old.zsy");
  }
  EXPECT_EQ(Says(), Failure("文件写入失败！", dir / "old.zsy", plat::FileError::kWriteFailed));
  EXPECT_EQ(ReadBytes(dir / "old.zsy") + ReadBytes(dir / "old.xyp"), "old recordsold texts");
  EXPECT_EQ(dir.Entries(), 2) << "a temporary file was left behind";
}

TEST_F(DataFiles, AFileThatIsNoLessonIsRefusedByNameAndTheDrawingStays) {
  for (const auto& [name, bytes, why] :
       {std::tuple("photo.zsy", "\x89PNG\r\n\x1A\n" + std::string(40, '\0'),
                   "第 1 个记录的类型无法识别。"),
        {"cut.zsy", std::string(49, 'z'), "文件大小（49 字节）不是 24 字节记录的整数倍。"},
        {"long.zsy", std::string((kRecordSlots + 1) * 24, 'z'),
         "文件有 5001 个记录，多于 5000 个。"}}) {
    WriteBytes(dir / name, bytes);
    Run(ID_OPEN_DATA, dir / name);
    EXPECT_EQ(Says(), "这不是教鞭数据文件！\n" + dir / name + "\n" + why);
  }
  EXPECT_EQ(m_services.boxes.size(), 3u);
  EXPECT_TRUE(m_services.pauses.empty() && Intact() && !Frame().m_barsHidden);
}

// Whole records of every opcode with extreme fields, and a side file of
// broken lines.
TEST_F(DataFiles, HostileLessonsOpenWithoutHarm) {
  std::mt19937 random(7);
  const int extremes[] = {INT_MIN, INT_MIN + 1, -1, 0, 1, 100, 5000, INT_MAX - 1, INT_MAX};
  WriteBytes(dir / "h.xyp", "\x81\r\n\r\r\xFF\n" + std::string(1 << 20, 'w') + "\n\xFE\x30");
  for (int file = 0; file < 8; ++file) {
    const std::size_t records = random() % (kRecordSlots + 1);
    std::string bytes(records * 24, '\0');
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
      const int v = extremes[random() % std::size(extremes)];
      std::memcpy(&bytes[i], &v, 4);
      if (i % 24 == 0) bytes[i] = op::kAll[random() % std::size(op::kAll)];
    }
    WriteBytes(dir / "h.zsy", bytes);
    Run(ID_OPEN_DATA, dir / "h.zsy");
    EXPECT_EQ(Count(), int(records));
  }
  EXPECT_TRUE(m_services.boxes.empty() && ShowsItsReplay());
}

}  // namespace
