// Picture files: the exact bytes of BMP files and what their reader
// refuses; JPEG files through the codec binding, the packed layout produced
// and consumed, and every refusal; saving and loading by the file name's
// extension.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <tuple>

#include "image/bmp_file.h"
#include "image/dib.h"
#include "image/image_file.h"
#include "image/jpeg_file.h"
#include "image/picture_file.h"
#include "image_test_util.h"
#include "platform/codepage.h"
#include "platform/ijl.h"

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
bool Reads(const TempDir& dir, const Bytes& file) {
  WriteFileBytes(dir.Path("t.bmp"), file);
  return bool(ReadBmp(dir.Path("t.bmp")));
}

bool WriteJpeg(PackedDib* block, const std::string& path, int quality = 100) {
  CImageFile file;
  return file.Open(path, CImageFile::modeCreate | CImageFile::modeWrite) &&
         WriteJpegFile(block, file, quality);
}

HDIB ReadJpeg(const std::string& path) {
  CImageFile file;
  return file.Open(path, CImageFile::modeRead) ? ReadJpegFile(file) : nullptr;
}

// Writes the smooth picture of w x h pixels as dir's "smooth.jpg" and
// returns the file's bytes.
Bytes SmoothJpeg(const TempDir& dir, int w, int h, int quality = 100) {
  HDIB block = MakeDib24(Smooth(w, h));
  EXPECT_TRUE(WriteJpeg(block.get(), dir.Path("smooth.jpg"), quality));
  return ReadFileBytes(dir.Path("smooth.jpg"));
}

// Where the first marker FF m of the file begins; its size when there is none.
std::size_t MarkerAt(const Bytes& file, std::uint8_t m) {
  const std::uint8_t marker[] = {0xFF, m};
  return std::size_t(std::search(file.begin(), file.end(), marker, marker + 2) - file.begin());
}

// A path of exactly `length` bytes inside dir, its folders created.
std::string PathOfLength(const TempDir& dir, std::size_t length) {
  std::string path = dir.Path("");
  while (path.size() + 1 + 100 + 6 < length) {
    path += std::string(100, 'd') + "/";
    fs::create_directory(path);
  }
  const std::size_t name = length - path.size() - 4;
  return path + std::string(name, 'n') + ".jpg";
}

}  // namespace

TEST(BmpWrite, IsTheFileHeaderThenTheBlockByteForByteWithTheOffsetCountingTheTable) {
  TempDir dir;
  CDib dib;
  ASSERT_TRUE(dib.Create(800, 600, 24));
  ASSERT_TRUE(dib.Save(dir.Path("a.bmp")));
  const Bytes file = ReadFileBytes(dir.Path("a.bmp"));
  ASSERT_EQ(file.size(), 14u + 40u + 1440000u);
  // The signature, the file's size, the reserved fields, the pixels' offset
  // and the image size stored in the header.
  EXPECT_EQ(std::tuple(std::string(file.begin(), file.begin() + 2), dib::Get32(&file[2]),
                       dib::Get32(&file[6]), dib::Get32(&file[10]), dib::Get32(&file[14 + 20])),
            std::tuple("BM", 14u + 40u + 1440000u, 0u, 54u, 1440000u));
  const Bytes& block = dib.Block()->bytes;
  EXPECT_TRUE(std::equal(file.begin() + 14, file.end(), block.begin()));

  ASSERT_TRUE(dib.Create(9, 2, 4));
  ASSERT_TRUE(dib.Save(dir.Path("p.dib")));
  const Bytes paletted = ReadFileBytes(dir.Path("p.dib"));
  EXPECT_EQ(std::pair(dib::Get32(&paletted[10]), paletted.size()),
            std::pair(14u + 40u + 16u * 4u, 14ul + 40 + 64 + 2 * 8));
}

TEST(BmpWrite, AnInvalidBlockWritesNothingAndAFullDiskIsReportedAsFailure) {
  TempDir dir;
  HDIB block = MakeDib24(Smooth(4, 4));
  dib::Put32(block->bytes.data() + 4, 0);  // width 0
  EXPECT_FALSE(WriteBmp(block.get(), dir.Path("bad.bmp")));
  EXPECT_EQ(ReadFileBytes(dir.Path("bad.bmp")).size(), 0u);
  EXPECT_FALSE(WriteBmp(nullptr, dir.Path("none.bmp")));

  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  // A large picture fails while writing, a small one only when flushed.
  for (int size : {300, 2}) {
    HDIB full = MakeDib24(Smooth(size, size));
    EXPECT_FALSE(WriteBmp(full.get(), "/dev/full")) << size;
  }
  // The same through the save by name, the extension coming from a link.
  fs::create_symlink("/dev/full", dir.Path("full.bmp"));
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(Smooth(300, 200))));
  EXPECT_FALSE(dib.Save(dir.Path("full.bmp")));
}

TEST(BmpRead, WhatWasWrittenReadsBackIdenticalAndATopDownFileComesBackBottomUp) {
  TempDir dir;
  const Picture pic = Smooth(5, 3);
  HDIB block = MakeDib24(pic);
  ASSERT_TRUE(WriteBmp(block.get(), dir.Path("r.bmp")));
  HDIB back = ReadBmp(dir.Path("r.bmp"));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->bytes, block->bytes);

  // Store the rows top first and say so with a negative height.
  const Bytes file = ReadFileBytes(dir.Path("r.bmp"));
  const std::size_t stride = 16, bits = 54;
  Bytes flipped = file;
  for (int r = 0; r < 3; ++r) {
    std::copy_n(file.begin() + bits + r * stride, stride,
                flipped.begin() + bits + (2 - r) * stride);
  }
  dib::Put32(&flipped[14 + 8], std::uint32_t(-3));
  WriteFileBytes(dir.Path("td.bmp"), flipped);
  back = ReadBmp(dir.Path("td.bmp"));
  ASSERT_TRUE(back);
  EXPECT_EQ(std::int32_t(dib::Get32(back->bytes.data() + 8)), 3);
  std::string where;
  EXPECT_EQ(CountDifferences(PixelsOf(*back), pic, &where), 0) << where;
}

TEST(BmpRead, RefusesAWrongSignatureEveryTruncationABadOffsetAndHugeDimensions) {
  TempDir dir;
  HDIB block = MakeDib24(Smooth(6, 4));
  ASSERT_TRUE(WriteBmp(block.get(), dir.Path("r.bmp")));
  const Bytes file = ReadFileBytes(dir.Path("r.bmp"));

  Bytes bad = file;
  bad[0] = 'M', bad[1] = 'B';
  EXPECT_FALSE(Reads(dir, bad)) << "swapped signature";
  for (std::size_t n = 0; n < file.size(); ++n)
    EXPECT_FALSE(Reads(dir, Bytes(file.begin(), file.begin() + n))) << "cut at " << n;

  bad = file;
  dib::Put32(&bad[10], 58);
  EXPECT_FALSE(Reads(dir, bad)) << "offset past the pixels' place";
  dib::Put32(&bad[10], 0);
  EXPECT_TRUE(Reads(dir, bad)) << "an offset of 0 says nothing";

  const std::pair<std::uint32_t, std::uint32_t> sizes[] = {
      {30000, 30000}, {0x7FFFFFFF, 1}, {1, 0x80000000u}, {65536, 65536}, {32768, 2049}};
  for (auto [w, h] : sizes) {
    bad = file;
    dib::Put32(&bad[14 + 4], w), dib::Put32(&bad[14 + 8], h);
    EXPECT_FALSE(Reads(dir, bad)) << w << "x" << h;
  }
}

TEST(JpegRead, RowsArePaddedWithWidthModFourZeroBytes) {
  TempDir dir;
  for (int width : {3, 4, 5}) {
    SmoothJpeg(dir, width, 2);
    HDIB block = ReadJpeg(dir.Path("smooth.jpg"));
    ASSERT_TRUE(block) << width;
    // The header's validity and the pixels are checked against the
    // reference decoder; here only the padding.
    const std::size_t stride = 3 * width + width % 4;
    ASSERT_EQ(block->bytes.size(), 40 + stride * 2) << width;
    for (int row = 0; row < 2; ++row)
      for (std::size_t pad = 3 * width; pad < stride; ++pad)
        EXPECT_EQ(block->bytes[40 + row * stride + pad], 0) << width;
  }
}

TEST(JpegWrite, OnlyTwentyFourBitPicturesReachTheCodec) {
  TempDir dir;
  for (int bits : {8, 32}) {
    CDib dib;
    ASSERT_TRUE(dib.Create(8, 8, bits));
    EXPECT_FALSE(dib.Save(dir.Path("p.jpg"))) << bits;
    EXPECT_TRUE(fs::is_empty(dir.Path(""))) << "a refused picture leaves no file";
  }
  CImageFile file;
  ASSERT_TRUE(file.Open(dir.Path("none.jpg"), CImageFile::modeCreate | CImageFile::modeWrite));
  EXPECT_FALSE(WriteJpegFile(nullptr, file, 100));
}

TEST(JpegWrite, StoresTheImageSizeAndWritesAQualityHundredFile) {
  TempDir dir;
  HDIB block = MakeDib24(Smooth(5, 3));
  ASSERT_TRUE(WriteJpeg(block.get(), dir.Path("q.jpg")));
  EXPECT_EQ(dib::Get32(block->bytes.data() + 20), 16u * 3u);
  const Bytes file = ReadFileBytes(dir.Path("q.jpg"));
  ASSERT_GT(file.size(), 4u);
  EXPECT_EQ(MarkerAt(file, 0xD8), 0u) << "the start-of-image marker first";
  // Quality 100 makes every quantisation step 1.
  const std::size_t dqt = MarkerAt(file, 0xDB);
  ASSERT_LT(dqt + 4 + 64, file.size());
  EXPECT_EQ(Bytes(file.begin() + dqt + 5, file.begin() + dqt + 5 + 64), Bytes(64, 1))
      << "every quantisation step";
}

TEST(JpegPaths, APathThatDoesNotFitTheCodecBufferIsRefusedBeforeAFileIsMade) {
  TempDir dir;
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(Smooth(4, 4))));
  const std::string fits = PathOfLength(dir, 259), tooLong = PathOfLength(dir, 260);
  ASSERT_EQ(std::pair(fits.size(), tooLong.size()), std::pair(259ul, 260ul));
  EXPECT_TRUE(dib.Save(fits));
  EXPECT_FALSE(dib.Save(tooLong));
  EXPECT_FALSE(fs::exists(tooLong));

  // A good JPEG under a name too long for the codec cannot be read.
  fs::copy_file(fits, tooLong);
  CDib loaded;
  EXPECT_TRUE(loaded.Load(fits));
  EXPECT_FALSE(loaded.Load(tooLong));
  EXPECT_EQ(loaded.Block(), nullptr);
}

TEST(JpegRead, CorruptFilesGiveNoPicture) {
  TempDir dir;
  const Bytes good = SmoothJpeg(dir, 40, 30, 90);
  // Damage the decoder notices: a Huffman table claiming more codes than
  // exist. (Garbled entropy data that still decodes is a picture, however odd.)
  Bytes damaged = good;
  const std::size_t counts = MarkerAt(good, 0xC4) + 5;
  ASSERT_LT(counts + 16, damaged.size());
  std::fill_n(damaged.begin() + counts, 16, 0xFF);
  // Empty, junk, truncated, without its end marker, damaged, a BMP's start.
  const Bytes cases[] = {{},
                         Bytes(100, 0xAB),
                         Bytes(good.begin(), good.begin() + good.size() / 2),
                         Bytes(good.begin(), good.end() - 2),
                         damaged,
                         {'B', 'M', 0, 0}};
  for (std::size_t n = 0; n < std::size(cases); ++n) {
    WriteFileBytes(dir.Path("bad.jpg"), cases[n]);
    EXPECT_FALSE(ReadJpeg(dir.Path("bad.jpg"))) << "case " << n;
    CDib dib;
    EXPECT_FALSE(dib.Load(dir.Path("bad.jpg"))) << "case " << n;
  }
}

TEST(JpegRead, AnAbsurdDecodedSizeIsRefusedFromTheHeader) {
  TempDir dir;
  Bytes file = SmoothJpeg(dir, 16, 16);
  const std::size_t at = MarkerAt(file, 0xC0) + 5;  // height, then width
  ASSERT_LT(at + 4, file.size());
  // 65280 x 65280: within the format's limit, far beyond the decoder's bound.
  file[at] = 0xFF, file[at + 1] = 0x00, file[at + 2] = 0xFF, file[at + 3] = 0x00;
  WriteFileBytes(dir.Path("huge.jpg"), file);

  JPEG_CORE_PROPERTIES props{};
  ASSERT_EQ(ijlInit(&props), IJL_OK);
  std::strcpy(props.JPGFile, dir.Path("huge.jpg").c_str());
  EXPECT_EQ(ijlRead(&props, IJL_JFILE_READPARAMS), IJL_MEMORY_ERROR);
  EXPECT_EQ(ijlFree(&props), IJL_OK);
  EXPECT_FALSE(ReadJpeg(dir.Path("huge.jpg")));
}

TEST(JpegBinding, RefusesMisuseWithAStatus) {
  TempDir dir;
  SmoothJpeg(dir, 8, 8);
  JPEG_CORE_PROPERTIES props{};
  EXPECT_EQ(ijlRead(&props, IJL_JFILE_READPARAMS), IJL_NOT_INITIALIZED);
  ASSERT_EQ(ijlInit(&props), IJL_OK);
  EXPECT_EQ(std::pair(props.DIBChannels, props.DIBPadBytes), std::pair(3, 0));
  EXPECT_EQ(ijlRead(&props, IJL_JFILE_READPARAMS), IJL_INVALID_FILENAME) << "empty name";
  std::memset(props.JPGFile, 'x', sizeof props.JPGFile);
  EXPECT_EQ(ijlRead(&props, IJL_JFILE_READPARAMS), IJL_INVALID_FILENAME) << "unterminated";
  std::strcpy(props.JPGFile, dir.Path("missing.jpg").c_str());
  EXPECT_EQ(ijlRead(&props, IJL_JFILE_READPARAMS), IJL_FILE_ERROR);
  std::strcpy(props.JPGFile, dir.Path("smooth.jpg").c_str());
  EXPECT_EQ(ijlRead(&props, 7), IJL_INVALID_JPEG_PROPERTIES);
  ASSERT_EQ(ijlRead(&props, IJL_JFILE_READPARAMS), IJL_OK);
  EXPECT_EQ(std::pair(props.JPGWidth, props.JPGHeight), std::pair(8, 8));
  std::vector<std::uint8_t> pixels(8 * 8 * 3);
  props.DIBBytes = pixels.data();
  props.DIBWidth = 7, props.DIBHeight = 8;  // not the file's size
  EXPECT_EQ(ijlRead(&props, IJL_JFILE_READWHOLEIMAGE), IJL_INVALID_JPEG_PROPERTIES);
  props.DIBWidth = 8;
  EXPECT_EQ(ijlRead(&props, IJL_JFILE_READWHOLEIMAGE), IJL_OK);
  EXPECT_EQ(ijlWrite(&props, IJL_JFILE_READWHOLEIMAGE), IJL_INVALID_JPEG_PROPERTIES);
  EXPECT_EQ(ijlFree(&props), IJL_OK);
  EXPECT_EQ(ijlFree(&props), IJL_NOT_INITIALIZED);
}

TEST(PictureExtension, IsThePartOfTheFileNameFromItsLastDotAndChoosesTheFormatIgnoringCase) {
  using enum PictureFormat;
  const struct {
    const char* name;
    const char* extension;
    PictureFormat format;
  } cases[] = {
      {"a", "", kNone},
      {"/home/x.y/a", "", kNone},  // a dot in a folder name is not the file's
      {"jpg", "", kNone},
      {"d.", ".", kNone},
      {"x.bmp", ".bmp", kBmp},
      {"/p/B.BMP", ".BMP", kBmp},
      {"x.DiB", ".DiB", kBmp},
      {"x.JPG", ".JPG", kJpeg},
      {"c.tar.jpeg", ".jpeg", kJpeg},
      {"x.png", ".png", kNone},
      {"x.jpe", ".jpe", kNone},
      {"x.bmpx", ".bmpx", kNone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PictureExtension(c.name), c.extension) << c.name;
    EXPECT_EQ(PictureFormatOf(c.name), c.format) << c.name;
  }
}

TEST(PictureFiles, AnEmptyPictureIsNotWrittenAFailedOpenLeavesThePictureAFailedReadEmptiesIt) {
  TempDir dir;
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(Smooth(6, 6))));
  CDib empty;
  EXPECT_FALSE(empty.Save(dir.Path("e.bmp")));
  EXPECT_FALSE(fs::exists(dir.Path("e.bmp")));

  const PackedDib* before = dib.Block();
  EXPECT_FALSE(dib.Load(dir.Path("missing.bmp")));
  WriteFileBytes(dir.Path("x.png"), {1, 2, 3});
  EXPECT_FALSE(dib.Load(dir.Path("x.png")));
  EXPECT_EQ(dib.Block(), before);
  ASSERT_TRUE(dib.Save(dir.Path("really-a-bmp.bmp")));
  fs::copy_file(dir.Path("really-a-bmp.bmp"), dir.Path("named.jpg"));
  EXPECT_FALSE(dib.Load(dir.Path("named.jpg")));
  EXPECT_EQ(dib.Block(), nullptr);
}

TEST(PictureFiles, ChineseFileNamesWorkForBothFormats) {
  TempDir dir;
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(Smooth(6, 6))));
  for (const char* name : {"黑板图片.jpg", "黑板图片.bmp"}) {
    const std::string gbk = GBK(dir.Path(name));
    ASSERT_TRUE(dib.Save(gbk)) << name;
    EXPECT_TRUE(fs::exists(dir.Path(name))) << "stored under its Unicode name";
    CDib back;
    EXPECT_TRUE(back.Load(gbk)) << name;
  }
}

TEST(PictureFiles, AFileHeldByAWriterIsNeitherOverwrittenNorRead) {
  TempDir dir;
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(Smooth(6, 6))));
  ASSERT_TRUE(dib.Save(dir.Path("held.bmp")));
  const auto size = fs::file_size(dir.Path("held.bmp"));
  CImageFile writer;
  ASSERT_TRUE(
      writer.Open(dir.Path("held.bmp"), CImageFile::modeWrite | CImageFile::shareDenyWrite));
  EXPECT_FALSE(dib.Save(dir.Path("held.bmp")));
  EXPECT_EQ(fs::file_size(dir.Path("held.bmp")), size) << "not emptied";
  CDib other;
  EXPECT_FALSE(other.Load(dir.Path("held.bmp")));
  writer.Close();
  EXPECT_TRUE(other.Load(dir.Path("held.bmp")));
}
