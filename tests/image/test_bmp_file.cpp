// BMP files: the exact bytes written, and what the reader refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "image/bmp_file.h"
#include "image/dib.h"
#include "image_test_util.h"

using namespace imgtest;

namespace {

Picture Pattern(int w, int h) {
  return MakePicture(w, h, [](int x, int y) { return RGB(x * 40, y * 70, 200 - x); });
}

HDIB ReadBmp(const std::string& path) {
  CImageFile file;
  if (!file.Open(path, CImageFile::modeRead)) return nullptr;
  return ReadBmpFromFile(file);
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
  HDIB block = MakeDib24(Pattern(4, 4));
  dib::Put32(block->bytes.data() + 4, 0);  // width 0
  EXPECT_FALSE(WriteBmp(block.get(), dir.Path("bad.bmp")));
  EXPECT_EQ(ReadFileBytes(dir.Path("bad.bmp")).size(), 0u);
  EXPECT_FALSE(WriteBmp(nullptr, dir.Path("none.bmp")));

  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  // A large picture fails while writing, a small one only when flushed.
  for (int size : {300, 2}) {
    HDIB full = MakeDib24(Pattern(size, size));
    EXPECT_FALSE(WriteBmp(full.get(), "/dev/full")) << size;
  }
  // The same through the save by name, the extension coming from a link.
  std::filesystem::create_symlink("/dev/full", dir.Path("full.bmp"));
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(Pattern(300, 200))));
  EXPECT_FALSE(dib.Save(dir.Path("full.bmp")));
}

TEST(BmpRead, WhatWasWrittenReadsBackIdenticalAndATopDownFileComesBackBottomUp) {
  TempDir dir;
  const Picture pic = Pattern(5, 3);
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
  HDIB block = MakeDib24(Pattern(6, 4));
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
    dib::Put32(&bad[14 + 4], w);
    dib::Put32(&bad[14 + 8], h);
    EXPECT_FALSE(Reads(dir, bad)) << w << "x" << h;
  }
}
