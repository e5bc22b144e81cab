// The command line, the display checks and the single-instance lock, met
// the way a user starting the program meets them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/board_session.h"

namespace {

using e2e::kFrameTitle;

class CommandLine : public e2e::Session<> {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(Open(1024, 768)); }

  // Runs the program to its end with env on top of the server's; its status.
  std::optional<int> Run(const std::vector<std::string>& args,
                         const std::map<std::string, std::optional<std::string>>& env,
                         std::string* output) {
    std::map<std::string, std::optional<std::string>> all = x_->ChildEnv();
    for (const auto& [name, value] : env) all[name] = value;
    std::vector<std::string> argv = {POINTER_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    e2e::Process p;
    if (!p.Start(argv, all, e2e::ArtifactDir() + "/command-line.log")) return std::nullopt;
    const std::optional<int> status = p.Wait();
    *output = p.Log();
    return status;
  }
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
               {{"--command", "0"}, 2, "bad command identifier"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front() + (c.args.size() > 1 ? " " + c.args[1] : ""));
    std::string output;
    EXPECT_EQ(Run(c.args, {}, &output), c.status);
    EXPECT_NE(output.find(c.says), std::string::npos) << output;
    EXPECT_TRUE(x_->FindWindows(kFrameTitle).empty());
  }
}

TEST_F(CommandLine, ADisplayItCannotServeIsNamedOnOneLineWithStatusOne) {
  // An 8-bit server of our own, beside the shared one.
  int n = 200;
  while (n < 260 && std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock")) ++n;
  const std::string eightBit = ":" + std::to_string(n);
  e2e::Process xvfb;
  ASSERT_TRUE(xvfb.Start({"Xvfb", eightBit, "-screen", "0", "640x480x8", "-nolisten", "tcp"}, {},
                         e2e::ArtifactDir() + "/xvfb-8bit.log"));
  ASSERT_TRUE(e2e::WaitUntil(
      [&] { return std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n)); }));

  const struct {
    std::optional<std::string> display;
    const char* says;
  } displays[] = {{std::nullopt, "no display"},
                  {":259", "cannot open display ':259'"},
                  {eightBit, "8 bits per pixel"}};
  for (const auto& d : displays) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, std::vector<std::string>{"--command", "32818"}}) {
      SCOPED_TRACE(d.display.value_or("unset") + (args.empty() ? "" : " --command"));
      std::string output;
      EXPECT_EQ(Run(args, {{"DISPLAY", d.display}}, &output), 1);
      EXPECT_NE(output.find(d.says), std::string::npos) << output;
      EXPECT_EQ(output.find("Reinstalling"), std::string::npos) << output;
    }
  }
  xvfb.Kill();
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
