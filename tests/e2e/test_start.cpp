// The program's start, its command line, its windows, the desktop's scale
// and the screen's size, and the ways it ends and comes back, driven through
// a real X server.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <ranges>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/e2e/board_session.h"

namespace {

using e2e::kFrameTitle;
using e2e::kPaletteTitle;
using e2e::kToolsBarTitle;

const char kClassroomTitle[] = "Corvale多媒体网络教室";

// Screen width and height.
class Start : public e2e::Session<::testing::TestWithParam<std::pair<int, int>>> {
 protected:
  void SetUp() override { Open(GetParam().first, GetParam().second); }
  // Alt+1 brings the board and its bars back.
  void HotKey() {
    ASSERT_EQ(x_->Xdotool({"key", "alt+1"}), 0);
    ASSERT_TRUE(x_->WaitViewable(kFrameTitle)) << "Alt+1 did not bring the board back";
    EXPECT_TRUE(e2e::WaitUntil([&] { return BarsShown(); })) << "the bars did not come back";
  }
  std::string where_;
};

TEST_P(Start,
       TheFrameCoversTheScreenWithTheCapturedPictureAndTheBarsComesBackWithAlt1AndF12EndsIt) {
  EXPECT_EQ(x_->RunPointer({"--command", "32822"}), 1) << "no board runs yet";
  // Any window titled like the frame makes the start end silently.
  const unsigned long lookalike = x_->CreateTitledWindow(kFrameTitle);
  ASSERT_TRUE(x_->StartPointer(&pointer_));
  bool showedSomething = false;
  EXPECT_TRUE(e2e::WaitUntil([&] {
    showedSomething |=
        !x_->FindWindows(kToolsBarTitle).empty() || x_->FindWindows(kFrameTitle).size() > 1;
    return !pointer_.Running();
  }));
  EXPECT_EQ(pointer_.Wait(0), 0);
  EXPECT_FALSE(showedSomething);
  x_->DestroyWindow(lookalike);

  // The classroom program's window does not stop the start.
  ownWindows_.push_back(x_->CreateTitledWindow(kClassroomTitle));
  StartBoard();
  const auto frame = x_->FindWindow(kFrameTitle);
  EXPECT_EQ(std::tuple(frame->rect.x, frame->rect.y, frame->rect.w, frame->rect.h),
            std::tuple(0, 0, x_->width(), x_->height()));
  EXPECT_TRUE(BoardShows(Pattern(0), &where_)) << where_;
  // The grid, the buttons enabled and greyed, and the palette's place under
  // the tool bar are the bars' own tests; here the real X server places the
  // tool bar and stacks the palette in front of its empty lower strip, its
  // caption showing there, not the strip's face.
  const auto tools = x_->FindWindow(kToolsBarTitle), palette = x_->FindWindow(kPaletteTitle);
  EXPECT_EQ(std::tuple(tools->rect.x, tools->rect.y, palette->rect.x, palette->rect.y),
            std::tuple(10, 50, 10 - 2, tools->rect.bottom() - 17));
  const Picture screen = x_->Screenshot();
  EXPECT_NE(screen.At(palette->rect.x + 4, palette->rect.y + 3),
            screen.At(tools->rect.x + 4, palette->rect.y - 2));
  // The board paints its own copy: what the desktop shows beneath it now no
  // longer matters.
  x_->ShowPattern(1);
  EXPECT_TRUE(BoardShows(Pattern(0), &where_)) << where_;
  EXPECT_EQ(x_->RunPointer({"--command", "32822"}), 0);
  EXPECT_EQ(x_->FindWindows(kFrameTitle).size(), 1u);

  // After a temporary exit that keeps the picture, Alt+1 shows it again.
  ASSERT_TRUE(TemporaryExit("y")) << "the frame stayed on the screen";
  ASSERT_NO_FATAL_FAILURE(HotKey());
  EXPECT_TRUE(BoardShows(Pattern(0), &where_)) << "not the kept picture: " << where_;
  // Dropped: the bars go too, and Alt+1 captures the desktop as it is then.
  x_->ShowPattern(0);
  ASSERT_TRUE(TemporaryExit("n")) << "the frame stayed on the screen";
  EXPECT_TRUE(e2e::WaitUntil([&] { return ShownBars().empty(); }));
  x_->ShowPattern(1);
  ASSERT_NO_FATAL_FAILURE(HotKey());
  EXPECT_TRUE(BoardShows(Pattern(1), &where_)) << "not captured anew: " << where_;

  ASSERT_TRUE(pointer_.Running());
  ParkPointer();
  ASSERT_EQ(x_->Xdotool({"key", "F12"}), 0);
  EXPECT_EQ(pointer_.Wait(), 0);
  EXPECT_TRUE(x_->FindWindows(kFrameTitle).empty());
}

INSTANTIATE_TEST_SUITE_P(Screens, Start,
                         ::testing::Values(std::pair(1024, 768), std::pair(1920, 1080)));

// The command line, the display checks and the single-instance lock, met
// the way a user starting the program meets them.
using CommandLine = e2e::ServerSession;

TEST_F(CommandLine, HelpVersionBadArgumentsAndADisplayItCannotServeAnswerAndStartNothing) {
  // An 8-bit server of our own, beside the shared one.
  e2e::XServer eightBit(640, 480, 8);
  std::string error;
  ASSERT_TRUE(eightBit.Start(&error)) << error;

  const struct {
    std::vector<std::string> args;
    std::optional<std::string> display;  // unset for none
    int status;
    const char* says;
  } cases[] = {{{"--help"}, x_->name(), 0, "Usage: pointer"},
               {{"--version"}, x_->name(), 0, "pointer "},
               {{"--bogus"}, x_->name(), 2, "unknown option '--bogus'"},
               {{"--command"}, x_->name(), 2, "needs a command identifier"},
               {{"--command", "12x"}, x_->name(), 2, "bad command identifier"},
               {{"--step"}, x_->name(), 2, "--step needs a lesson file"},
               {{}, std::nullopt, 1, "no display"},
               {{}, ":259", 1, "cannot open display ':259'"},
               {{}, eightBit.name(), 1, "8 bits per pixel"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    std::string output;
    EXPECT_EQ(x_->RunPointer(c.args, {{"DISPLAY", c.display}}, &output), c.status);
    EXPECT_NE(output.find(c.says), std::string::npos) << output;
    EXPECT_EQ(output.find("Reinstalling"), std::string::npos) << output;
    EXPECT_TRUE(x_->FindWindows(kFrameTitle).empty());
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

// The desktop's scale and the screen's size: on a 2:1 desktop the bars and
// their pictures double while the board keeps device pixels; on a tiny
// screen the file and colour dialogs stay in sight.
using e2e::Rect;

constexpr int kImages = 24;  // tool bar images

class Scaling : public e2e::Session<> {
 protected:
  struct Run {
    Rect tools, palette;
    std::map<int, std::pair<int, int>> images;  // the enabled ones
    Picture shot;                               // after a line from (1001, 1201) to (1603, 1401)
  };

  // Starts the board at the desktop scale `times`, checks the board shows the
  // known picture outside the bars, picks the line tool through its doubled
  // picture, draws the line and ends the program.
  void StartAndDraw(int times, Run* run) {
    x_->SetResources(times == 1 ? "" : "Xft.dpi:\t" + std::to_string(96 * times) + "\n");
    StartBoard();
    run->tools = x_->FindWindow(e2e::kToolsBarTitle)->rect;
    run->palette = x_->FindWindow(e2e::kPaletteTitle)->rect;
    EXPECT_TRUE(BoardShows(Pattern()))
        << "the board is not the screen pixel for pixel at scale " << times;

    // Found only where each picture is drawn in whole blocks, crisp.
    ASSERT_TRUE(ClickToolBarImage(e2e::kLineImage, times)) << "no line button at scale " << times;
    run->images = e2e::FindToolBarImages(e2e::Crop(x_->Screenshot(), run->tools), kImages, times);
    Drag(1001, 1201, 1603, 1401);
    ASSERT_TRUE(e2e::WaitUntil([&] { return x_->Screenshot().At(1302, 1301) == RGB(0, 0, 0); }))
        << "no line at scale " << times;
    run->shot = x_->Screenshot();
    pointer_.Kill();
    ASSERT_TRUE(e2e::WaitUntil([&] { return x_->FindWindows(e2e::kFrameTitle).empty(); }));
  }
};

TEST_F(Scaling, OnADoubledDesktopTheBarsDoubleAndTheBoardDrawsTheSameDevicePixels) {
  Open(3840, 2160);
  Run plain, doubled;
  ASSERT_NO_FATAL_FAILURE(StartAndDraw(1, &plain));
  ASSERT_NO_FATAL_FAILURE(StartAndDraw(2, &doubled));

  EXPECT_EQ(std::pair(doubled.tools.w, doubled.tools.h),
            std::pair(2 * plain.tools.w, 2 * plain.tools.h));
  // The palette is laid out in units of its font, whose glyphs do not grow
  // exactly twofold.
  EXPECT_NEAR(doubled.palette.w, 2 * plain.palette.w, plain.palette.w / 5);
  EXPECT_NEAR(doubled.palette.h, 2 * plain.palette.h, plain.palette.h / 5);
  EXPECT_TRUE(std::ranges::equal(std::views::keys(doubled.images), std::views::keys(plain.images)));
  // The same drag gives the same line, pixel for pixel.
  const Rect around{960, 1160, 700, 300};
  std::string where;
  EXPECT_EQ(
      CountDifferences(e2e::Crop(doubled.shot, around), e2e::Crop(plain.shot, around), &where), 0)
      << where;
}

TEST_F(Scaling, OnATinyScreenTheFileAndColourDialogsStayInSight) {
  Open(320, 240);
  StartBoard();
  const auto inside = [&](const Rect& r) {
    return r.x >= 0 && r.y >= 0 && r.right() <= x_->width() && r.bottom() <= x_->height();
  };
  // The bars are kept in sight by the frame's own test.
  Move(300, 200);
  x_->Xdotool({"key", "ctrl+o"});
  ASSERT_TRUE(x_->WaitViewable("打开")) << "no open dialog";
  EXPECT_TRUE(inside(x_->FindWindow("打开")->rect));
  x_->Xdotool({"key", "Escape"});
  EXPECT_TRUE(x_->WaitNotViewable("打开"));

  // A double click on the foreground swatch.
  const auto [swatchX, swatchY] = PaletteAt(40, 10);
  Move(swatchX, swatchY);
  x_->Xdotool({"click", "--repeat", "2", "--delay", "80", "1"});
  ASSERT_TRUE(x_->WaitViewable("颜色")) << "no colour dialog";
  EXPECT_TRUE(inside(x_->FindWindow("颜色")->rect));
  x_->Xdotool({"key", "Return"});
  EXPECT_TRUE(x_->WaitNotViewable("颜色"));
}

}  // namespace
