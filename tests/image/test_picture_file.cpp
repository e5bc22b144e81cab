// Picture files: the exact bytes of BMP files and what their reader
// refuses; JPEG files through the codec binding, the packed layout produced
// and consumed, and every refusal; saving and loading by the file name's
// extension; the capture of a bitmap into a packed picture. Saves that fail
// keep the old file; special files are refused at once.
#include <sys/mount.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <tuple>

#include "image/bmp_file.h"
#include "image/dib.h"
#include "image/image_file.h"
#include "image/picture_file.h"
#include "image_test_util.h"
#include "platform/codepage.h"
#include "platform/dib_format.h"

using namespace imgtest;
namespace fs = std::filesystem;

namespace {

HDIB ReadBmp(const std::string& path) {
  CImageFile file;
  return file.Open(path, CImageFile::modeRead) ? ReadBmpFromFile(file) : nullptr;
}

bool WriteBmp(PackedDib* block, const std::string& path) {
  CImageFile file;
  if (!file.Open(path, CImageFile::modeCreate | CImageFile::modeWrite)) return false;
  const bool ok = WriteBmpToFile(block, file);
  return file.Close() && ok;
}

// Whether the given file bytes read as a picture.
bool Reads(const TempFolder& dir, const Bytes& file) {
  WriteFileBytes(dir / "t.bmp", file);
  return bool(ReadBmp(dir / "t.bmp"));
}

// Writes the smooth picture of w x h pixels as dir's "smooth.jpg" and
// returns the file's bytes.
Bytes SmoothJpeg(const TempFolder& dir, int w, int h) {
  CDib dib;
  EXPECT_TRUE(dib.Attach(MakeDib24(Smooth(w, h))) && dib.Save(dir / "smooth.jpg"));
  return ReadFileBytes(dir / "smooth.jpg");
}

// Where the first marker FF m of the file begins; its size when there is none.
std::size_t MarkerAt(const Bytes& file, std::uint8_t m) {
  const std::uint8_t marker[] = {0xFF, m};
  return std::size_t(std::search(file.begin(), file.end(), marker, marker + 2) - file.begin());
}

// A path of exactly `length` bytes inside dir, its folders created.
std::string PathOfLength(const TempFolder& dir, std::size_t length) {
  std::string path = dir / "";
  while (path.size() + 1 + 100 + 6 < length) {
    path += std::string(100, 'd') + "/";
    fs::create_directory(path);
  }
  const std::size_t name = length - path.size() - 4;
  return path + std::string(name, 'n') + ".jpg";
}

}  // namespace

TEST(BmpWrite, IsTheFileHeaderThenTheBlockByteForByte) {
  TempFolder dir;
  CDib dib;
  ASSERT_TRUE(dib.Create(800, 600, 24));
  ASSERT_TRUE(dib.Save(dir / "a.bmp"));
  const Bytes file = ReadFileBytes(dir / "a.bmp");
  ASSERT_EQ(file.size(), 14u + 40u + 1440000u);
  // The signature, the file's size, the reserved fields, the pixels' offset
  // and the image size stored in the header.
  EXPECT_EQ(
      std::tuple(std::string(file.begin(), file.begin() + 2), plat::GetLe32(&file[2]),
                 plat::GetLe32(&file[6]), plat::GetLe32(&file[10]), plat::GetLe32(&file[14 + 20])),
      std::tuple("BM", 14u + 40u + 1440000u, 0u, 54u, 1440000u));
  const auto& block = dib.Block()->bytes;
  EXPECT_TRUE(std::equal(file.begin() + 14, file.end(), block.begin()));
}

TEST(BmpWrite, AFullDiskIsReportedAsFailure) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  // A large picture fails while writing, a small one only when flushed.
  for (int size : {300, 2})
    EXPECT_FALSE(WriteBmp(MakeDib24(Smooth(size, size)).get(), "/dev/full")) << size;
}

TEST(BmpRead, WhatWasWrittenReadsBackIdenticalAndATopDownFileComesBackBottomUp) {
  TempFolder dir;
  const Picture pic = Smooth(5, 3);
  HDIB block = MakeDib24(pic);
  ASSERT_TRUE(WriteBmp(block.get(), dir / "r.bmp"));
  HDIB back = ReadBmp(dir / "r.bmp");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->bytes, block->bytes);

  // The picture upside down is the picture stored top row first, as a
  // negative height says.
  HDIB topDown = MakeDib24(MakePicture(5, 3, [&](int x, int y) { return pic.At(x, 2 - y); }));
  plat::PutLe32(topDown->bytes.data() + 8, std::uint32_t(-3));
  ASSERT_TRUE(WriteBmp(topDown.get(), dir / "td.bmp"));
  back = ReadBmp(dir / "td.bmp");
  ASSERT_TRUE(back);
  EXPECT_EQ(std::int32_t(plat::GetLe32(back->bytes.data() + 8)), 3);
  std::string where;
  EXPECT_EQ(CountDifferences(PixelsOf(*back), pic, &where), 0) << where;
}

// Every truncation is the hostile-file test's.
TEST(BmpRead, RefusesAWrongSignatureAndABadOffset) {
  TempFolder dir;
  HDIB block = MakeDib24(Smooth(6, 4));
  ASSERT_TRUE(WriteBmp(block.get(), dir / "r.bmp"));
  const Bytes file = ReadFileBytes(dir / "r.bmp");

  Bytes bad = file;
  bad[0] = 'M', bad[1] = 'B';
  EXPECT_FALSE(Reads(dir, bad)) << "swapped signature";

  bad = file;
  plat::PutLe32(&bad[10], 58);
  EXPECT_FALSE(Reads(dir, bad)) << "offset past the pixels' place";
  plat::PutLe32(&bad[10], 0);
  EXPECT_TRUE(Reads(dir, bad)) << "an offset of 0 says nothing";
}

TEST(JpegRead, RowsArePaddedWithWidthModFourZeroBytes) {
  TempFolder dir;
  for (int width : {3, 4, 5}) {
    SmoothJpeg(dir, width, 2);
    CDib dib;
    ASSERT_TRUE(dib.Load(dir / "smooth.jpg")) << width;
    const auto& bytes = dib.Block()->bytes;
    // The header's validity and the pixels are checked against the
    // reference decoder; here only the padding.
    const std::size_t stride = 3 * width + width % 4;
    ASSERT_EQ(bytes.size(), 40 + stride * 2) << width;
    for (int row = 0; row < 2; ++row)
      for (std::size_t pad = 3 * width; pad < stride; ++pad)
        EXPECT_EQ(bytes[40 + row * stride + pad], 0) << width;
  }
}

TEST(JpegWrite, KeepsThePictureUprightWhetherItsRowsAreStoredBottomUpOrTopDown) {
  TempFolder dir;
  const Picture pic =
      MakePicture(16, 16, [](int, int y) { return y < 8 ? RGB(255, 255, 255) : RGB(0, 0, 0); });
  HDIB bottomUp = MakeDib24(pic), topDown = MakeDib24(pic);
  // The same rows in the other order, marked by a negative height.
  const std::size_t stride = std::size_t(dib::RowBytes(24, 16));
  for (int y = 0; y < 16; ++y)
    std::copy_n(bottomUp->bytes.begin() + 40 + stride * y, stride,
                topDown->bytes.begin() + 40 + stride * (15 - y));
  plat::PutLe32(topDown->bytes.data() + 8, std::uint32_t(-16));
  for (HDIB* block : {&bottomUp, &topDown}) {
    CDib dib, back;
    ASSERT_TRUE(dib.Attach(std::move(*block)));
    ASSERT_TRUE(dib.Save(dir / "upright.jpg"));
    ASSERT_TRUE(back.Load(dir / "upright.jpg"));
    EXPECT_GT(GetRValue(Dib24Pixel(*back.Block(), 8, 1)), 200) << "the top stays white";
    EXPECT_LT(GetRValue(Dib24Pixel(*back.Block(), 8, 14)), 55) << "the bottom stays black";
  }
}

TEST(JpegPaths, LongPathsSaveAndLoadLikeShortOnes) {
  TempFolder dir;
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(Smooth(4, 4))));
  for (std::size_t length : {259ul, 260ul, 1000ul}) {
    const std::string path = PathOfLength(dir, length);
    ASSERT_EQ(path.size(), length);
    CDib loaded;
    EXPECT_TRUE(dib.Save(path) && loaded.Load(path)) << length;
    EXPECT_EQ(std::pair(loaded.Width(), loaded.Height()), std::pair(4, 4)) << length;
  }
}

TEST(JpegRead, CorruptFilesAndAnAbsurdDecodedSizeGiveNoPicture) {
  TempFolder dir;
  const Bytes good = SmoothJpeg(dir, 40, 30);
  // Damage the decoder notices: a Huffman table claiming more codes than
  // exist. (Garbled entropy data that still decodes is a picture, however odd.)
  Bytes damaged = good, huge = good;
  const std::size_t counts = MarkerAt(good, 0xC4) + 5, at = MarkerAt(good, 0xC0) + 5;
  ASSERT_LT(std::max(counts + 16, at + 4), good.size());
  std::fill_n(damaged.begin() + counts, 16, 0xFF);
  // Height, then width: 65280 x 65280, within the format's limit, far beyond
  // the decoder's bound.
  huge[at] = 0xFF, huge[at + 1] = 0x00, huge[at + 2] = 0xFF, huge[at + 3] = 0x00;
  // Empty, junk, truncated, without its end marker, damaged, huge, a BMP's start.
  const Bytes cases[] = {{},
                         Bytes(100, 0xAB),
                         Bytes(good.begin(), good.begin() + good.size() / 2),
                         Bytes(good.begin(), good.end() - 2),
                         damaged,
                         huge,
                         {'B', 'M', 0, 0}};
  for (std::size_t n = 0; n < std::size(cases); ++n) {
    WriteFileBytes(dir / "bad.jpg", cases[n]);
    EXPECT_FALSE(CDib().Load(dir / "bad.jpg")) << "case " << n;
  }
}

TEST(PictureExtension, IsThePartOfTheFileNameFromItsLastDotAndChoosesTheFormatIgnoringCase) {
  using enum PictureFormat;
  const std::tuple<const char*, const char*, PictureFormat> cases[] = {
      {"a", "", kNone},
      {"/home/x.y/a", "", kNone},  // a dot in a folder name is not the
                                   // file's
      {"x.DiB", ".DiB", kBmp},
      {"x.JPG", ".JPG", kJpeg},
      {"c.tar.jpeg", ".jpeg", kJpeg},
      {"x.bmpx", ".bmpx", kNone},
  };
  for (const auto& [name, extension, format] : cases)
    EXPECT_EQ(std::pair(PictureExtension(name), PictureFormatOf(name)),
              std::pair(std::string(extension), format))
        << name;
}

TEST(PictureFiles, ChineseFileNamesWorkForBothFormats) {
  TempFolder dir;
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(Smooth(6, 6))));
  for (const char* name : {"黑板图片.jpg", "黑板图片.bmp"}) {
    const std::string gbk = GBK(dir / name);
    ASSERT_TRUE(dib.Save(gbk)) << name;
    EXPECT_TRUE(fs::exists(dir / name)) << "stored under its Unicode name";
    EXPECT_TRUE(CDib().Load(gbk)) << name;
  }
}

TEST(PictureFiles, AFileHeldByAWriterIsNeitherOverwrittenNorRead) {
  TempFolder dir;
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(Smooth(6, 6))));
  ASSERT_TRUE(dib.Save(dir / "held.bmp"));
  const auto size = fs::file_size(dir / "held.bmp");
  CImageFile writer;
  ASSERT_TRUE(writer.Open(dir / "held.bmp", CImageFile::modeWrite | CImageFile::shareDenyWrite));
  EXPECT_FALSE(dib.Save(dir / "held.bmp"));
  EXPECT_EQ(fs::file_size(dir / "held.bmp"), size) << "not emptied";
  EXPECT_FALSE(CDib().Load(dir / "held.bmp"));
  writer.Close();
  EXPECT_TRUE(CDib().Load(dir / "held.bmp"));
}

// Wide enough for whole shuffled groups, a pixel-by-pixel tail and a pad byte.
TEST(CDibFromBitmap, CapturesABitmapAsA24BitBottomUpPicture) {
  const Picture pic = Smooth(37, 5);
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateBitmap(37, 5));
  CDC mem;
  ASSERT_TRUE(mem.CreateCompatibleDC(nullptr));
  CBitmap* old = mem.SelectObject(&bitmap);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 37; ++x) mem.SetPixel(x, y, pic.At(x, y));
  mem.SelectObject(old);

  CDib dib;
  ASSERT_TRUE(dib.Create(37, 5, 24));
  ASSERT_TRUE(dib.FromBitmap(&bitmap));
  EXPECT_EQ(
      std::pair(dib.GetBitCount(), dib::ReadInfoHeader(dib.Block()->bytes.data()).biSizeImage),
      std::pair(24, 5u * 112u));
  for (int y = 0; y < 5; ++y) EXPECT_EQ(dib.Block()->bytes[40 + 112 * y + 111], 0) << y;
  std::string where;
  EXPECT_EQ(CountDifferences(PixelsOf(*dib.Block()), pic, &where), 0) << where;
}

namespace {

// Noise, so that a JPEG of it is large too.
HDIB Noise(int w, int h) {
  return MakeDib24(MakePicture(w, h, [](int x, int y) {
    const unsigned v = (unsigned(x) * 73856093u) ^ (unsigned(y) * 19349663u) * 2654435761u;
    return COLORREF(v & 0xFFFFFF);
  }));
}

TEST(PictureSaveFailures, AFullDiskKeepsTheOldFileByteForByteAndLeavesNothingBehind) {
  TempFolder dir;
  const std::string disk = dir / "disk";
  fs::create_directory(disk);
  if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k") != 0)
    GTEST_SKIP() << "cannot mount a small file system here";
  struct Unmount {
    std::string at;
    ~Unmount() { umount(at.c_str()); }
  } unmount{disk};
  const std::string old = disk + "/lesson.bmp", filler = disk + "/filler";
  CDib small;
  ASSERT_TRUE(small.Attach(Noise(20, 10)));
  ASSERT_TRUE(small.Save(old));
  const Bytes before = ReadFileBytes(old);
  WriteFileBytes(filler, Bytes(150 * 1024, 0x55));

  for (const char* name : {"lesson.bmp", "lesson.jpg"}) {
    SCOPED_TRACE(name);
    if (std::string(name) == "lesson.jpg") fs::copy_file(old, disk + "/lesson.jpg");
    CDib big;  // 360 KB as BMP, and about as much as JPEG
    ASSERT_TRUE(big.Attach(Noise(400, 300)));
    PictureError why = PictureError::kNone;
    EXPECT_FALSE(big.Save(disk + "/" + name, &why));
    EXPECT_EQ(why, PictureError::kWriteFailed);
    EXPECT_EQ(ReadFileBytes(disk + "/" + name), before);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(disk), {}), 3) << "no temporary file left";
}

TEST(PictureSaveFailures, SpecialFilesAndMissingFoldersAreRefusedWithTheirReason) {
  TempFolder dir;
  ASSERT_EQ(mkfifo((dir / "pipe.bmp").c_str(), 0600), 0);
  fs::create_directory(dir / "folder.bmp");
  CDib dib;
  ASSERT_TRUE(dib.Attach(Noise(8, 8)));
  const std::pair<std::string, PictureError> cases[] = {
      {dir / "pipe.bmp", PictureError::kNotRegular},
      {dir / "folder.bmp", PictureError::kNotRegular},
      {"/proc/picture.bmp", PictureError::kCannotCreate},
      {dir / "no/such/folder.jpg", PictureError::kCannotCreate},
      {dir / "picture.gif", PictureError::kUnsupportedType}};
  for (const auto& [path, reason] : cases) {
    PictureError why = PictureError::kNone;
    EXPECT_EQ(std::pair(dib.Save(path, &why), why), std::pair(false, reason)) << path;
  }
  EXPECT_TRUE(fs::is_fifo(dir / "pipe.bmp"));
  EXPECT_EQ(dir.Entries(), 2);
}

TEST(PictureSaveFailures, AReplacedFileKeepsItsPermissions) {
  TempFolder dir;
  const std::string path = dir / "kept.bmp";
  CDib first, second;
  ASSERT_TRUE(first.Attach(Noise(8, 8)));
  ASSERT_TRUE(second.Attach(Noise(16, 4)));
  const fs::perms kept = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  ASSERT_TRUE(first.Save(path));
  fs::permissions(path, kept);
  ASSERT_TRUE(second.Save(path));
  EXPECT_EQ(std::pair(fs::status(path).permissions() & fs::perms::all, fs::file_size(path)),
            std::pair(kept, std::uintmax_t(54u + 48u * 4u)))
      << "the second picture, with the first's permissions";
}

}  // namespace
