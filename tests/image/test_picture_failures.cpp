// Saves that fail keep the old file; special files are refused at once.
#include <sys/mount.h>
#include <sys/stat.h>

#include <filesystem>
#include <iterator>

#include "image/dib.h"
#include "image_test_util.h"

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
  const struct {
    std::string path;
    PictureError why;
  } cases[] = {{dir / "pipe.bmp", PictureError::kNotRegular},
               {dir / "folder.bmp", PictureError::kNotRegular},
               {"/proc/picture.bmp", PictureError::kCannotCreate},
               {dir / "no/such/folder.jpg", PictureError::kCannotCreate},
               {dir / "picture.gif", PictureError::kUnsupportedType}};
  for (const auto& c : cases) {
    PictureError why = PictureError::kNone;
    EXPECT_FALSE(dib.Save(c.path, &why)) << c.path;
    EXPECT_EQ(why, c.why) << c.path;
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
  ASSERT_TRUE(first.Save(path));
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(second.Save(path));
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(fs::file_size(path), 54u + 48u * 4u) << "the second picture";
}

}  // namespace
