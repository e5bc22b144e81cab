// The desktop's scale and the screen's size: on a 2:1 desktop the bars and
// their pictures double while the board keeps device pixels; on a tiny
// screen every bar and dialog stays in sight.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ranges>
#include <string>
#include <vector>

#include "tests/e2e/board_session.h"

namespace {

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
    auto& at = run->images;
    ASSERT_TRUE(e2e::WaitUntil([&] {
      at = e2e::FindToolBarImages(e2e::Crop(x_->Screenshot(), run->tools), kImages, times);
      return at.count(e2e::kLineImage) > 0;
    })) << "found "
        << at.size() << " of the tool bar's pictures at scale " << times;
    Click(run->tools.x + at[e2e::kLineImage].first + 8 * times,
          run->tools.y + at[e2e::kLineImage].second + 7 * times);
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

  EXPECT_EQ(doubled.tools.w, 2 * plain.tools.w);
  EXPECT_EQ(doubled.tools.h, 2 * plain.tools.h);
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

TEST_F(Scaling, OnATinyScreenTheBarsAndTheFileAndColourDialogsStayInSight) {
  Open(320, 240);
  StartBoard();
  const auto inside = [&](const Rect& r) {
    return r.x >= 0 && r.y >= 0 && r.right() <= x_->width() && r.bottom() <= x_->height();
  };
  const Rect tools = x_->FindWindow(e2e::kToolsBarTitle)->rect;
  const Rect palette = x_->FindWindow(e2e::kPaletteTitle)->rect;
  EXPECT_TRUE(inside(tools));
  EXPECT_TRUE(inside(palette));
  EXPECT_TRUE(palette.x >= tools.right() || palette.y >= tools.bottom() - 20)
      << "the palette hides the tool bar's buttons";

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
