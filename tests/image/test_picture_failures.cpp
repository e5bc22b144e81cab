// Saves that fail keep the old file; special files are refused at once.
#include <sys/mount.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "image/dib.h"
#include "image_test_util.h"
#include "platform/files.h"

using namespace imgtest;
namespace fs = std::filesystem;

namespace {

// Noise, so that a JPEG of it is large too.
HDIB Noise(int w, int h) {
  return MakeDib24(MakePicture(w, h, [](int x, int y) {
    const unsigned v = (unsigned(x) * 73856093u) ^ (unsigned(y) * 19349663u) * 2654435761u;
    return COLORREF(v & 0xFFFFFF);
  }));
}

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(PictureSaveFailures, AFullDiskKeepsTheOldFileByteForByteAndLeavesNothingBehind) {
  TempDir dir;
  const std::string disk = dir.Path("disk");
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
  EXPECT_EQ(Names(disk), (std::vector<std::string>{"filler", "lesson.bmp", "lesson.jpg"}));
}

TEST(PictureSaveFailures, SpecialFilesAndMissingFoldersAreRefusedWithTheirReason) {
  TempDir dir;
  ASSERT_EQ(mkfifo(dir.Path("pipe.bmp").c_str(), 0600), 0);
  fs::create_directory(dir.Path("folder.bmp"));
  CDib dib;
  ASSERT_TRUE(dib.Attach(Noise(8, 8)));
  const struct {
    std::string path;
    PictureError why;
  } cases[] = {{dir.Path("pipe.bmp"), PictureError::kNotRegular},
               {dir.Path("folder.bmp"), PictureError::kNotRegular},
               {"/proc/picture.bmp", PictureError::kCannotCreate},
               {dir.Path("no/such/folder.jpg"), PictureError::kCannotCreate},
               {dir.Path("picture.gif"), PictureError::kUnsupportedType}};
  for (const auto& c : cases) {
    PictureError why = PictureError::kNone;
    EXPECT_FALSE(dib.Save(c.path, &why)) << c.path;
    EXPECT_EQ(why, c.why) << c.path;
  }
  EXPECT_TRUE(fs::is_fifo(dir.Path("pipe.bmp")));
  EXPECT_EQ(Names(dir.Path("")), (std::vector<std::string>{"folder.bmp", "pipe.bmp"}));
  EXPECT_EQ(plat::OpenFile(dir.Path("pipe.bmp"), "wb"), nullptr);
  EXPECT_EQ(plat::OpenFile(dir.Path("pipe.bmp"), "rb"), nullptr) << "and at once";
}

TEST(PictureSaveFailures, AReplacedFileKeepsItsPermissions) {
  TempDir dir;
  const std::string path = dir.Path("kept.bmp");
  CDib first, second;
  ASSERT_TRUE(first.Attach(Noise(8, 8)));
  ASSERT_TRUE(second.Attach(Noise(16, 4)));
  ASSERT_TRUE(first.Save(path));
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(second.Save(path));
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  CDib back;
  ASSERT_TRUE(back.Load(path));
  EXPECT_EQ(back.Width(), 16);
}

}  // namespace

namespace {

TEST(PictureLoadLimits, APictureAsLargeAsTheDecodersAcceptIsDrawn) {
  // 36 megapixels: past Qt's default allocation limit, within the decoders'.
  CDib big;
  ASSERT_TRUE(big.Create(6000, 6000, 24));
  CBitmap target;
  ASSERT_TRUE(target.CreateBitmap(60, 60));
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CSelectScope<CBitmap> select(dc, &target);
  const RECT all{0, 0, 60, 60};
  dc.FillSolidRect(&all, RGB(255, 0, 0));
  EXPECT_EQ(big.Paint(&dc, &all), 6000);
  EXPECT_EQ(target.GetPixel(30, 30), RGB(0, 0, 0));
}

}  // namespace
