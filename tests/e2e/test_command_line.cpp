// The command line, the display checks and the single-instance lock, met
// the way a user starting the program meets them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/board_session.h"

namespace {

using e2e::kFrameTitle;

class CommandLine : public e2e::Session<> {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(Open(1024, 768)); }
};

TEST_F(CommandLine, HelpVersionAndBadArgumentsAnswerAndStartNothing) {
  const struct {
    std::vector<std::string> args;
    int status;
    const char* says;
  } cases[] = {{{"--help"}, 0, "Usage: pointer"},
               {{"--version"}, 0, "pointer "},
               {{"--bogus"}, 2, "unknown option '--bogus'"},
               {{"--command"}, 2, "needs a command identifier"},
               {{"--command", "12x"}, 2, "bad command identifier"},
               {{"--step"}, 2, "--step needs a lesson file"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front() + (c.args.size() > 1 ? " " + c.args[1] : ""));
    std::string output;
    EXPECT_EQ(x_->RunPointer(c.args, {}, &output), c.status);
    EXPECT_NE(output.find(c.says), std::string::npos) << output;
    EXPECT_TRUE(x_->FindWindows(kFrameTitle).empty());
  }
}

TEST_F(CommandLine, ADisplayItCannotServeIsNamedOnOneLineWithStatusOne) {
  // An 8-bit server of our own, beside the shared one.
  e2e::XServer eightBit(640, 480, 8);
  std::string error;
  ASSERT_TRUE(eightBit.Start(&error)) << error;

  const struct {
    std::optional<std::string> display;
    const char* says;
  } displays[] = {{std::nullopt, "no display"},
                  {":259", "cannot open display ':259'"},
                  {eightBit.name(), "8 bits per pixel"}};
  for (const auto& d : displays) {
    SCOPED_TRACE(d.display.value_or("unset"));
    std::string output;
    EXPECT_EQ(x_->RunPointer({}, {{"DISPLAY", d.display}}, &output), 1);
    EXPECT_NE(output.find(d.says), std::string::npos) << output;
    EXPECT_EQ(output.find("Reinstalling"), std::string::npos) << output;
  }
}

TEST_F(CommandLine, TwoStartsAMomentApartGiveOneBoard) {
  e2e::Process second;
  ASSERT_TRUE(x_->StartPointer(&pointer_));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_TRUE(x_->StartPointer(&second));
  EXPECT_EQ(second.Wait(), 0) << "the second start ends at once";
  ASSERT_TRUE(x_->WaitViewable(kFrameTitle));
  EXPECT_EQ(x_->FindWindows(kFrameTitle).size(), 1u);
  EXPECT_EQ(x_->FindWindows(e2e::kToolsBarTitle).size(), 1u);
  EXPECT_TRUE(pointer_.Running());
}

}  // namespace
