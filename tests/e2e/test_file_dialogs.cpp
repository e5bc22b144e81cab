// Special files in the folder an open dialog lists, or /proc typed into its
// name box, leave the dialog and the board answering.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/e2e/board_session.h"

namespace {

using FileDialogs = e2e::BoardSession;

TEST_F(FileDialogs, AFifoAndAsRootADeviceInTheListedFolderAndProcInTheNameBoxBlockNothing) {
  const std::string dir = e2e::ArtifactDir() + "/dialog-folder";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  ASSERT_EQ(::mkfifo((dir + "/pipe.zsy").c_str(), 0600), 0);
  // The kernel log device and /proc/kmsg: a read of either waits for the
  // next message. Only root may make the one and read the other.
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::mknod((dir + "/kmsg.zsy").c_str(), S_IFCHR | 0600, makedev(1, 11)), 0)
        << std::strerror(errno);
  }
  // Saved there, the lesson makes the open dialog list that folder.
  ASSERT_TRUE(SaveLesson(dir + "/lesson.zsy"));
  x_->Xdotool({"key", "ctrl+o"});
  ASSERT_TRUE(TypeInto(e2e::kOpenTitle, {root ? "/proc/" : "pipe"})) << "no open dialog";
  e2e::WaitUntil([] { return false; }, 1500);  // listed and completed meanwhile
  // The first Escape may close only the completion list.
  for (int i = 0; i < 3 && x_->Viewable(e2e::kOpenTitle); ++i) {
    x_->Xdotool({"key", "Escape"});
    x_->WaitNotViewable(e2e::kOpenTitle, 1500);
  }
  ASSERT_FALSE(x_->Viewable(e2e::kOpenTitle)) << "the dialog stopped answering";
  ASSERT_TRUE(ClickToolBarImage(e2e::kLineImage));
  Drag(350, 400, 650, 400);
  EXPECT_TRUE(e2e::WaitUntil([&] {
    const Picture shot = x_->Screenshot();
    int n = 0;
    for (int x = 400; x <= 600; x += 10)
      n += shot.At(x, 400) == 0 && e2e::PatternPixel(0, x, 400, 1024, 768) != 0;
    return n >= 15;
  })) << "the board stopped answering";
  std::filesystem::remove_all(dir);
  if (!root) GTEST_SKIP() << "only the FIFO was listed: the device and /proc/kmsg need root";
}

}  // namespace
