// JPEG files through the codec binding: the packed layout produced and
// consumed, and every refusal.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "image/jpeg_file.h"
#include "image_test_util.h"
#include "platform/ijl.h"

using namespace imgtest;

namespace {

Picture Smooth(int w, int h) {
  return MakePicture(w, h, [&](int x, int y) {
    return RGB(x * 255 / std::max(1, w - 1), y * 255 / std::max(1, h - 1), 128);
  });
}

bool WriteJpeg(PackedDib* block, const std::string& path, int quality = 100) {
  CImageFile file;
  if (!file.Open(path, CImageFile::modeCreate | CImageFile::modeWrite)) return false;
  return WriteJpegFile(block, file, quality);
}

HDIB ReadJpeg(const std::string& path) {
  CImageFile file;
  if (!file.Open(path, CImageFile::modeRead)) return nullptr;
  return ReadJpegFile(file);
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
    std::filesystem::create_directory(path);
  }
  const std::size_t name = length - path.size() - 4;
  return path + std::string(name, 'n') + ".jpg";
}

}  // namespace

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
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path(""))) << "a refused picture leaves no file";
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
  EXPECT_FALSE(std::filesystem::exists(tooLong));

  // A good JPEG under a name too long for the codec cannot be read.
  std::filesystem::copy_file(fits, tooLong);
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
