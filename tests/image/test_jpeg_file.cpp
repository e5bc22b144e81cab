// JPEG files through the codec binding: the packed layout produced and
// consumed, and every refusal.
#include "image/jpeg_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

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
    HDIB source = MakeDib24(Smooth(width, 2));
    ASSERT_TRUE(WriteJpeg(source.get(), dir.Path("w.jpg")));
    HDIB block = ReadJpeg(dir.Path("w.jpg"));
    ASSERT_TRUE(block) << width;
    const std::size_t stride = 3 * width + width % 4;
    EXPECT_EQ(stride % 4, 0u);
    ASSERT_EQ(block->bytes.size(), 40 + stride * 2) << width;
    const BITMAPINFOHEADER h = dib::ReadInfoHeader(block->bytes.data());
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, width);
    EXPECT_EQ(h.biHeight, 2);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression, BI_RGB);
    for (int row = 0; row < 2; ++row) {
      for (std::size_t pad = 3 * width; pad < stride; ++pad) {
        EXPECT_EQ(block->bytes[40 + row * stride + pad], 0) << width;
      }
    }
  }
}

TEST(JpegWrite, OnlyTwentyFourBitPicturesReachTheCodecAndAFullDiskIsAFailure) {
  TempDir dir;
  CDib eight;
  ASSERT_TRUE(eight.Create(8, 8, 8));
  EXPECT_FALSE(eight.Save(dir.Path("8.jpg")));
  ASSERT_TRUE(std::filesystem::exists(dir.Path("8.jpg"))) << "the file was created first";
  EXPECT_EQ(std::filesystem::file_size(dir.Path("8.jpg")), 0u) << "and nothing written to it";

  CDib thirtyTwo;
  ASSERT_TRUE(thirtyTwo.Create(8, 8, 32));
  EXPECT_FALSE(thirtyTwo.Save(dir.Path("32.jpg")));
  EXPECT_EQ(std::filesystem::file_size(dir.Path("32.jpg")), 0u);

  CImageFile file;
  ASSERT_TRUE(file.Open(dir.Path("none.jpg"), CImageFile::modeCreate | CImageFile::modeWrite));
  EXPECT_FALSE(WriteJpegFile(nullptr, file, 100));

  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  std::filesystem::create_symlink("/dev/full", dir.Path("full.jpg"));
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(Smooth(64, 64))));
  EXPECT_FALSE(dib.Save(dir.Path("full.jpg"))) << "a full disk is a failure";
}

TEST(JpegWrite, StoresTheImageSizeAndWritesAQualityHundredFile) {
  TempDir dir;
  HDIB block = MakeDib24(Smooth(5, 3));
  ASSERT_TRUE(WriteJpeg(block.get(), dir.Path("q.jpg")));
  EXPECT_EQ(dib::Get32(block->bytes.data() + 20), 16u * 3u);
  const Bytes file = ReadFileBytes(dir.Path("q.jpg"));
  ASSERT_GT(file.size(), 4u);
  EXPECT_EQ(file[0], 0xFF);
  EXPECT_EQ(file[1], 0xD8);
  // Quality 100 makes every quantisation step 1.
  const std::uint8_t marker[] = {0xFF, 0xDB};
  const auto dqt = std::search(file.begin(), file.end(), std::begin(marker), std::end(marker));
  ASSERT_LT(dqt + 4 + 64, file.end());
  EXPECT_TRUE(std::all_of(dqt + 5, dqt + 5 + 64, [](std::uint8_t q) { return q == 1; }))
      << "every quantisation step";
}

TEST(JpegPaths, APathThatDoesNotFitTheCodecBufferIsRefusedBeforeAFileIsMade) {
  TempDir dir;
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(Smooth(4, 4))));
  const std::string fits = PathOfLength(dir, 259), tooLong = PathOfLength(dir, 260);
  ASSERT_EQ(fits.size(), 259u);
  ASSERT_EQ(tooLong.size(), 260u);
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
  HDIB source = MakeDib24(Smooth(40, 30));
  ASSERT_TRUE(WriteJpeg(source.get(), dir.Path("good.jpg"), 90));
  const Bytes good = ReadFileBytes(dir.Path("good.jpg"));
  // Damage the decoder notices: a Huffman table claiming more codes than
  // exist. (Garbled entropy data that still decodes is a picture, however odd.)
  Bytes damaged = good;
  const std::uint8_t dht[] = {0xFF, 0xC4};
  const auto table = std::search(damaged.begin(), damaged.end(), std::begin(dht), std::end(dht));
  ASSERT_LT(table + 5 + 16, damaged.end());
  std::fill(table + 5, table + 5 + 16, 0xFF);
  const Bytes cases[] = {
      {},
      Bytes(100, 0xAB),
      Bytes(good.begin(), good.begin() + good.size() / 2),  // truncated
      Bytes(good.begin(), good.end() - 2),                  // no end marker
      damaged,
      {'B', 'M', 0, 0},
  };
  int n = 0;
  for (const Bytes& data : cases) {
    const std::string path = dir.Path("bad" + std::to_string(n++) + ".jpg");
    WriteFileBytes(path, data);
    EXPECT_FALSE(ReadJpeg(path)) << "case " << n - 1;
    CDib dib;
    EXPECT_FALSE(dib.Load(path));
  }
}

TEST(JpegRead, AnAbsurdDecodedSizeIsRefusedFromTheHeader) {
  TempDir dir;
  HDIB source = MakeDib24(Smooth(16, 16));
  ASSERT_TRUE(WriteJpeg(source.get(), dir.Path("small.jpg")));
  Bytes file = ReadFileBytes(dir.Path("small.jpg"));
  const std::uint8_t marker[] = {0xFF, 0xC0};
  const auto sof = std::search(file.begin(), file.end(), std::begin(marker), std::end(marker));
  ASSERT_NE(sof, file.end());
  const std::size_t at = std::size_t(sof - file.begin()) + 5;  // height, then width
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
  HDIB source = MakeDib24(Smooth(8, 8));
  ASSERT_TRUE(WriteJpeg(source.get(), dir.Path("p.jpg")));
  JPEG_CORE_PROPERTIES props{};
  EXPECT_EQ(ijlRead(&props, IJL_JFILE_READPARAMS), IJL_NOT_INITIALIZED);
  ASSERT_EQ(ijlInit(&props), IJL_OK);
  EXPECT_EQ(props.DIBChannels, 3);
  EXPECT_EQ(props.DIBPadBytes, 0);
  EXPECT_EQ(ijlRead(&props, IJL_JFILE_READPARAMS), IJL_INVALID_FILENAME) << "empty name";
  std::memset(props.JPGFile, 'x', sizeof props.JPGFile);
  EXPECT_EQ(ijlRead(&props, IJL_JFILE_READPARAMS), IJL_INVALID_FILENAME) << "unterminated";
  std::strcpy(props.JPGFile, dir.Path("missing.jpg").c_str());
  EXPECT_EQ(ijlRead(&props, IJL_JFILE_READPARAMS), IJL_FILE_ERROR);
  std::strcpy(props.JPGFile, dir.Path("p.jpg").c_str());
  EXPECT_EQ(ijlRead(&props, 7), IJL_INVALID_JPEG_PROPERTIES);
  ASSERT_EQ(ijlRead(&props, IJL_JFILE_READPARAMS), IJL_OK);
  EXPECT_EQ(props.JPGWidth, 8);
  EXPECT_EQ(props.JPGHeight, 8);
  std::vector<std::uint8_t> pixels(8 * 8 * 3);
  props.DIBBytes = pixels.data();
  props.DIBWidth = 7;  // not the file's size
  props.DIBHeight = 8;
  EXPECT_EQ(ijlRead(&props, IJL_JFILE_READWHOLEIMAGE), IJL_INVALID_JPEG_PROPERTIES);
  props.DIBWidth = 8;
  EXPECT_EQ(ijlRead(&props, IJL_JFILE_READWHOLEIMAGE), IJL_OK);
  EXPECT_EQ(ijlWrite(&props, IJL_JFILE_READWHOLEIMAGE), IJL_INVALID_JPEG_PROPERTIES);
  EXPECT_EQ(ijlFree(&props), IJL_OK);
  EXPECT_EQ(ijlFree(&props), IJL_NOT_INITIALIZED);
}
