// Saving and loading pictures by the file name's extension.
#include <gtest/gtest.h>

#include <filesystem>

#include "image/image_file.h"
#include "image/picture_file.h"
#include "image_test_util.h"
#include "platform/codepage.h"

using namespace imgtest;
namespace fs = std::filesystem;

namespace {

HDIB Stripes() {
  return MakeDib24(
      MakePicture(6, 6, [](int x, int) { return x % 2 ? RGB(250, 250, 250) : RGB(0, 0, 120); }));
}

}  // namespace

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

TEST(PictureFiles, OnlyPictureNamesAreWrittenAndAFailedOpenLeavesThePictureAFailedReadEmptiesIt) {
  TempDir dir;
  CDib dib;
  ASSERT_TRUE(dib.Attach(Stripes()));
  for (const char* name : {"c.png", "noext"}) {
    EXPECT_FALSE(dib.Save(dir.Path(name))) << name;
    EXPECT_FALSE(fs::exists(dir.Path(name))) << name;
  }
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
  ASSERT_TRUE(dib.Attach(Stripes()));
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
  ASSERT_TRUE(dib.Attach(Stripes()));
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
