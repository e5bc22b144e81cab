// A drawing outlives a kill: the line drawn more than a second before
// SIGKILL is in the recovery lesson, and Ctrl+O brings it back in the next
// run pixel for pixel; F12 leaves the final state.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>

#include "tests/e2e/board_session.h"

namespace {

using Recovery = e2e::Session<>;

TEST_F(Recovery, ALineDrawnBeforeAKillComesBackWithCtrlOInTheNextRun) {
  ASSERT_NO_FATAL_FAILURE(Open(1024, 768));
  const std::string data = e2e::ArtifactDir() + "/recovery-data";
  std::filesystem::remove_all(data);
  const e2e::Env env{{"XDG_DATA_HOME", data}};
  ASSERT_NO_FATAL_FAILURE(StartBoard(env));
  ASSERT_TRUE(ClickToolBarImage(e2e::kLineImage));
  Drag(400, 300, 600, 400);
  ASSERT_TRUE(x_->WaitNotViewable(e2e::kToolsBarTitle) && x_->WaitNotViewable(e2e::kPaletteTitle));
  Picture drawn;
  ASSERT_TRUE(
      e2e::WaitUntil([&] { return CountDifferences(drawn = x_->Screenshot(), Pattern()) > 100; }));

  e2e::WaitUntil([] { return false; }, 1500);
  kill(pointer_.pid(), SIGKILL);
  ASSERT_EQ(pointer_.Wait(), -SIGKILL);
  const std::string lesson = data + "/pointer/last.zsy";

  x_->ShowPattern(0);
  ASSERT_NO_FATAL_FAILURE(StartBoard(env));
  EXPECT_TRUE(BoardShows(Pattern())) << "the lesson opened by itself";
  ASSERT_TRUE(OpenLesson(lesson)) << "no open dialog";
  std::string where;
  EXPECT_TRUE(e2e::WaitUntil([&] {
    return CountDifferences(x_->Screenshot(), drawn, &where) == 0;
  })) << where;

  // F12 right after an undo leaves the undone state, not the one before.
  Move(700, 600);
  x_->Xdotool({"key", "ctrl+z"});
  x_->Xdotool({"key", "F12"});
  ASSERT_EQ(pointer_.Wait(), 0);
  EXPECT_EQ(std::filesystem::file_size(lesson), 0u);
}

}  // namespace
