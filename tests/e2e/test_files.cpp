// Files met through the real file dialogs: pictures saved and loaded,
// special files listed, and the recovery lesson a kill leaves.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QImage>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/board_session.h"

namespace {

// Saving the board as a picture (a name typed without extension) and
// loading a picture as its background, through the real file dialogs, with
// commands sent from another process.
// A failed load is met in the picture commands' own tests.

// The sum of the channel differences.
int Distance(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
         std::abs(GetBValue(a) - GetBValue(b));
}

using PictureFiles = e2e::BoardSession;

TEST_F(PictureFiles, ABoardSavedAsAQuality100JpegAndAFiftyMegapixelJpegLoadedWithNoDialogInIt) {
  const std::string base = e2e::ArtifactDir() + "/board";
  ASSERT_EQ(x_->RunPointer({"--command", "32818"}), 0);
  ASSERT_TRUE(TypeInto("另存为", {base, "@Return"})) << "no save dialog";
  ASSERT_TRUE(TypeInto("消息", {"@Return"})) << "no completion message";
  EXPECT_TRUE(x_->WaitNotViewable("消息"));

  Picture saved;
  ASSERT_TRUE(e2e::WaitUntil([&] { return (saved = e2e::LoadImage(base + ".jpg")).width > 0; }));
  ASSERT_EQ(std::pair(saved.width, saved.height), std::pair(1024, 768));
  // The board (the known picture) within JPEG tolerance, upright.
  const Picture pattern = Pattern();
  long total = 0, samples = 0;
  for (int y = 200; y < 768; y += 7)
    for (int x = 300; x < 1024; x += 7, ++samples)
      total += Distance(saved.At(x, y), pattern.At(x, y));
  EXPECT_LT(double(total) / samples, 12.0);

  e2e::Process identify;
  ASSERT_TRUE(identify.Start({"identify", "-format", "%Q", base + ".jpg"}, x_->ChildEnv(),
                             e2e::ArtifactDir() + "/identify.log"));
  ASSERT_EQ(identify.Wait(), 0);
  EXPECT_EQ(identify.Log(), "100");

  // A fifty-megapixel picture loaded is stretched over the whole board.
  const int w = 8200, h = 6100;
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < w; ++x) row[x] = x < w / 2 ? 0xFF2040 : 0x20C060;
  }
  const std::string path = e2e::ArtifactDir() + "/huge.jpg";
  ASSERT_TRUE(img.save(QString::fromStdString(path), "JPEG", 90));
  img = QImage();

  ASSERT_EQ(x_->RunPointer({"--command", "32841"}), 0);
  ASSERT_TRUE(TypeInto("打开", {path})) << "no open dialog";
  // The name's completion list may take the first Return.
  bool closed = false;
  for (int i = 0; i < 3 && !closed; ++i) {
    x_->Xdotool({"key", "Return"});
    closed = x_->WaitNotViewable("打开", 1500);
  }
  ASSERT_TRUE(closed) << "the open dialog stayed";
  // Everything outside the bars is one half or the other, within JPEG's
  // tolerance: the dialog is not in the captured picture.
  int wrong = -1;
  EXPECT_TRUE(e2e::WaitUntil([&] {
    const Picture shot = e2e::Masked(x_->Screenshot(), ShownBars());
    wrong = 0;
    for (int y = 0; y < shot.height; ++y)
      for (int x = 0; x < shot.width; ++x) {
        const COLORREF c = shot.At(x, y);
        if (c == 0) continue;  // masked
        const COLORREF want = x < shot.width / 2 - 1 ? RGB(0xFF, 0x20, 0x40)
                              : x > shot.width / 2   ? RGB(0x20, 0xC0, 0x60)
                                                     : c;
        wrong += Distance(c, want) > 24;
      }
    return wrong == 0;
  })) << wrong
      << " pixels wrong";
  EXPECT_TRUE(e2e::WaitUntil([&] { return BarsShown(); }));
}

// Special files in the folder an open dialog lists, or /proc typed into its
// name box, leave the dialog and the board answering.
using FileDialogs = e2e::BoardSession;

TEST_F(FileDialogs, AFifoAndAsRootADeviceInTheListedFolderAndProcInTheNameBoxBlockNothing) {
  const std::string dir = e2e::ArtifactDir() + "/dialog-folder";
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
  EXPECT_TRUE(DrawLine(350, 400, 650, 400)) << "the board stopped answering";
  std::filesystem::remove_all(dir);
  if (!root) GTEST_SKIP() << "only the FIFO was listed: the device and /proc/kmsg need root";
}

// A drawing outlives a kill: the line drawn more than a second before
// SIGKILL is in the recovery lesson, and Ctrl+O brings it back in the next
// run pixel for pixel; F12 leaves the final state.
using Recovery = e2e::ServerSession;

TEST_F(Recovery, ALineDrawnBeforeAKillComesBackWithCtrlOInTheNextRun) {
  const std::string data = e2e::ArtifactDir() + "/recovery-data";
  const e2e::Env env{{"XDG_DATA_HOME", data}};
  ASSERT_NO_FATAL_FAILURE(StartBoard(env));
  ASSERT_TRUE(ClickToolBarImage(e2e::kLineImage));
  ASSERT_TRUE(DrawLine(400, 300, 600, 400));
  ASSERT_TRUE(x_->WaitNotViewable(e2e::kToolsBarTitle) && x_->WaitNotViewable(e2e::kPaletteTitle));
  const Picture drawn = Settled();

  e2e::WaitUntil([] { return false; }, 1500);
  kill(pointer_.pid(), SIGKILL);
  ASSERT_EQ(pointer_.Wait(), -SIGKILL);
  const std::string lesson = data + "/pointer/last.zsy";

  x_->ShowPattern(0);
  ASSERT_NO_FATAL_FAILURE(StartBoard(env));
  EXPECT_TRUE(BoardShows(Pattern())) << "the lesson opened by itself";
  ASSERT_TRUE(OpenLesson(lesson)) << "no open dialog";
  std::string where;
  EXPECT_TRUE(BoardShows(drawn, &where)) << where;

  // F12 right after an undo leaves the undone state, not the one before.
  Move(700, 600);
  x_->Xdotool({"key", "ctrl+z"});
  x_->Xdotool({"key", "F12"});
  ASSERT_EQ(pointer_.Wait(), 0);
  EXPECT_EQ(std::filesystem::file_size(lesson), 0u);
}

}  // namespace
