// Saving and loading pictures by the file name's extension.
#include "image/picture_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "image/dib.h"
#include "image/image_file.h"
#include "image_test_util.h"
#include "platform/codepage.h"

using namespace imgtest;

namespace {

Picture Stripes(int w, int h) {
  return MakePicture(w, h, [](int x, int) { return x % 2 ? Rgb{250, 250, 250} : Rgb{0, 0, 120}; });
}

}  // namespace

TEST(PictureExtension, IsThePartOfTheFileNameFromItsLastDotAndChoosesTheFormat) {
  EXPECT_EQ(PictureExtension("a"), "");
  EXPECT_EQ(PictureExtension("/home/x.y/a"), "") << "a dot in a folder name is not the file's";
  EXPECT_EQ(PictureExtension("/p/B.BMP"), ".BMP");
  EXPECT_EQ(PictureExtension("c.tar.jpeg"), ".jpeg");
  EXPECT_EQ(PictureExtension("d."), ".");
  // The format comes from it, ignoring case.
  EXPECT_EQ(PictureFormatOf("x.bmp"), PictureFormat::kBmp);
  EXPECT_EQ(PictureFormatOf("x.DiB"), PictureFormat::kBmp);
  EXPECT_EQ(PictureFormatOf("x.JPG"), PictureFormat::kJpeg);
  EXPECT_EQ(PictureFormatOf("x.Jpeg"), PictureFormat::kJpeg);
  EXPECT_EQ(PictureFormatOf("x.png"), PictureFormat::kNone);
  EXPECT_EQ(PictureFormatOf("x.jpe"), PictureFormat::kNone);
  EXPECT_EQ(PictureFormatOf("x.bmpx"), PictureFormat::kNone);
  EXPECT_EQ(PictureFormatOf("jpg"), PictureFormat::kNone);
}

TEST(PictureSave, WritesBmpOrJpegByExtensionAndNothingForOthers) {
  TempDir dir;
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(Stripes(10, 4))));
  ASSERT_TRUE(dib.Save(dir.Path("B.BMP")));
  const Bytes bmp = ReadFileBytes(dir.Path("B.BMP"));
  ASSERT_EQ(bmp.size(), 54u + 32u * 4u);
  EXPECT_EQ(bmp[0], 'B');
  ASSERT_TRUE(dib.Save(dir.Path("a.JPEG")));
  const Bytes jpeg = ReadFileBytes(dir.Path("a.JPEG"));
  ASSERT_GT(jpeg.size(), 2u);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);
  EXPECT_FALSE(dib.Save(dir.Path("c.png")));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("c.png")));
  EXPECT_FALSE(dib.Save(dir.Path("noext")));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("noext")));
  CDib empty;
  EXPECT_FALSE(empty.Save(dir.Path("e.bmp")));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("e.bmp")));
}

TEST(PictureLoad, ReadsBothFormatsWhateverTheCaseOfTheExtension) {
  TempDir dir;
  const Picture pic = Stripes(10, 4);
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(pic)));
  ASSERT_TRUE(dib.Save(dir.Path("s.Bmp")));
  ASSERT_TRUE(dib.Save(dir.Path("s.JPEG")));
  CDib fromBmp, fromJpeg;
  ASSERT_TRUE(fromBmp.Load(dir.Path("s.Bmp")));
  EXPECT_EQ(fromBmp.Block()->bytes, dib.Block()->bytes);
  ASSERT_TRUE(fromJpeg.Load(dir.Path("s.JPEG")));
  EXPECT_EQ(fromJpeg.Width(), 10);
  EXPECT_EQ(fromJpeg.Height(), 4);
  EXPECT_EQ(fromJpeg.GetBitCount(), 24);
}

TEST(PictureLoad, AFileThatCannotBeOpenedLeavesThePictureAloneOneThatCannotBeReadEmptiesIt) {
  TempDir dir;
  CDib dib;
  ASSERT_TRUE(dib.Create(4, 4, 24));
  const PackedDib* before = dib.Block();
  EXPECT_FALSE(dib.Load(dir.Path("missing.bmp")));
  WriteFileBytes(dir.Path("x.png"), {1, 2, 3});
  EXPECT_FALSE(dib.Load(dir.Path("x.png")));
  EXPECT_EQ(dib.Block(), before);

  // A file that opens but cannot be read empties the picture.
  ASSERT_TRUE(dib.Save(dir.Path("really-a-bmp.bmp")));
  std::filesystem::copy_file(dir.Path("really-a-bmp.bmp"), dir.Path("named.jpg"));
  EXPECT_FALSE(dib.Load(dir.Path("named.jpg")));
  EXPECT_EQ(dib.Block(), nullptr);
}

TEST(PictureFiles, ChineseFileNamesWorkForBothFormats) {
  TempDir dir;
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(Stripes(6, 6))));
  for (const char* name : {"黑板图片.jpg", "黑板图片.bmp"}) {
    const std::string gbk = GBK(dir.Path(name));
    ASSERT_TRUE(dib.Save(gbk)) << name;
    EXPECT_TRUE(std::filesystem::exists(dir.Path(name))) << "stored under its Unicode name";
    CDib back;
    EXPECT_TRUE(back.Load(gbk)) << name;
  }
}

TEST(PictureFiles, AFileHeldByAWriterIsNeitherOverwrittenNorRead) {
  TempDir dir;
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(Stripes(6, 6))));
  ASSERT_TRUE(dib.Save(dir.Path("held.bmp")));
  const auto size = std::filesystem::file_size(dir.Path("held.bmp"));
  CImageFile writer;
  ASSERT_TRUE(
      writer.Open(dir.Path("held.bmp"), CImageFile::modeWrite | CImageFile::shareDenyWrite));
  EXPECT_FALSE(dib.Save(dir.Path("held.bmp")));
  EXPECT_EQ(std::filesystem::file_size(dir.Path("held.bmp")), size) << "not emptied";
  CDib other;
  EXPECT_FALSE(other.Load(dir.Path("held.bmp")));
  writer.Close();
  EXPECT_TRUE(other.Load(dir.Path("held.bmp")));
}
