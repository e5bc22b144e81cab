// Tools with real input on the desktop picture.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/e2e/board_session.h"

namespace {

// The one-click tools with real input on the desktop picture: a picked colour
// shows in the palette's swatch, the magnifier enlarges and a right click
// goes back to the pen, which draws in the picked colour, and so does the
// rectangle's outline.
constexpr int kMagnifyImage = 7, kRectImage = 14, kPickColorImage = 18;

using OneClickTools = e2e::BoardSession;

TEST_F(OneClickTools, PickMagnifyAndBackThenPenAndRectangleDrawInThePickedColour) {
  const Picture pattern = Pattern();
  const COLORREF picked = pattern.At(700, 600);
  ASSERT_TRUE(picked != RGB(255, 255, 255) && picked != RGB(0, 0, 0));
  ASSERT_TRUE(ClickToolBarImage(kPickColorImage));
  Click(700, 600);
  const auto [swatchX, swatchY] = PaletteAt(44, 13);  // the foreground swatch's middle
  EXPECT_TRUE(e2e::WaitUntil([&] { return x_->Screenshot().At(swatchX, swatchY) == picked; }))
      << "the swatch does not show the picked colour";

  // A click at the middle enlarges it (which pixel goes where is the tool's
  // own test): most of the board changes.
  ASSERT_TRUE(ClickToolBarImage(kMagnifyImage));
  Click(512, 384);
  EXPECT_TRUE(e2e::WaitUntil([&] {
    return CountDifferences(x_->Screenshot(), pattern) > 1024 * 768 / 2;
  })) << "the board does not show the enlarged middle";
  ShowBarsAgain();
  EXPECT_TRUE(BarsShown());
  EXPECT_TRUE(BoardShows(pattern)) << "the right click did not bring back the unenlarged picture";
  // The pen is current again.
  Drag(100, 650, 300, 650);
  EXPECT_TRUE(e2e::WaitUntil([&] {
    const Picture shot = x_->Screenshot();
    for (int x = 120; x <= 280; x += 20)
      if (shot.At(x, 649) != picked && shot.At(x, 650) != picked && shot.At(x, 651) != picked)
        return false;
    return true;
  })) << "the pen does not draw in the picked colour";

  // A white rectangle outlined in the picked colour; the fill is tested with
  // the tools themselves.
  ShowBarsAgain();
  ASSERT_TRUE(ClickToolBarImage(kRectImage));
  Drag(300, 300, 500, 450);
  EXPECT_TRUE(e2e::WaitUntil([&] {
    const Picture shot = x_->Screenshot();
    return shot.At(400, 380) == RGB(255, 255, 255) && shot.At(300, 380) == picked;
  })) << "no white rectangle outlined in the picked colour";
}

// A flashing rectangle with real input: it blinks on the real clock until a
// right click stops it and the board shows its picture again.
constexpr int kFlashRectImage = 6;  // the flashing rectangle's button image

using Flashing = e2e::BoardSession;
using Clock = std::chrono::steady_clock;

TEST_F(Flashing, ARectangleInvertsAndRestoresOnceASecondUntilARightClick) {
  const Picture pattern = Pattern();
  auto inverted = [&](const Picture& shot) {
    return shot.At(600, 375) == (~pattern.At(600, 375) & 0xFFFFFF);
  };
  ASSERT_TRUE(ClickToolBarImage(kFlashRectImage));
  Drag(500, 300, 700, 450);
  ASSERT_TRUE(e2e::WaitUntil([&] { return inverted(x_->Screenshot()); })) << "never inverted";

  // The inside changes state on each tick: note when, for four changes.
  std::vector<Clock::time_point> changes;
  bool state = true;
  e2e::WaitUntil(
      [&] {
        const bool now = inverted(x_->Screenshot());
        if (now != state) state = now, changes.push_back(Clock::now());
        return changes.size() == 4;
      },
      6000);
  ASSERT_EQ(changes.size(), 4u) << "the rectangle does not keep blinking";
  for (size_t i = 1; i < changes.size(); ++i) {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(changes[i] - changes[i - 1]).count();
    EXPECT_TRUE(ms > 400 && ms < 2000) << "change " << i << " after " << ms << " ms";
  }

  Move(600, 375);
  x_->Xdotool({"click", "3"});
  const e2e::Rect around{480, 280, 240, 190};
  auto untouched = [&] {
    return CountDifferences(e2e::Crop(x_->Screenshot(), around), e2e::Crop(pattern, around)) == 0;
  };
  ASSERT_TRUE(e2e::WaitUntil(untouched)) << "the right click left the rectangle on the board";
  // No tick comes after it.
  EXPECT_FALSE(e2e::WaitUntil([&] { return !untouched(); }, 2500));
}

// Typing on the board with real input: the text tool shows the font bar (the
// face it selects is the bar's own test) and the pen hides it; a Latin and a
// Chinese text typed into dragged boxes, committed by a click and by a right
// click, saved with Ctrl+S in GBK and opened again at the same pixels.
using TextTool = e2e::BoardSession;
constexpr int kPenImage = 10, kTextImage = 19;

TEST_F(TextTool, TypedTextsAreInkedSavedInGbkAndOpenedAgainAtTheSamePixels) {
  ASSERT_TRUE(ClickToolBarImage(kTextImage));
  ASSERT_TRUE(x_->WaitViewable(e2e::kFontBarTitle)) << "no font bar with the text tool";
  ASSERT_TRUE(ClickToolBarImage(kPenImage));
  EXPECT_TRUE(x_->WaitNotViewable(e2e::kFontBarTitle)) << "the pen kept the font bar";
  ASSERT_TRUE(ClickToolBarImage(kTextImage));
  // Typed once the box shows: keys sent while the commit pauses may meet
  // a keymap already remapped for the next character.
  auto typeInBox = [&](int top, const std::string& text) {
    Drag(200, top, 500, top + 60);
    ASSERT_TRUE(e2e::WaitUntil([&] { return x_->Screenshot().At(350, top + 40) == 0xFFFFFF; }));
    ASSERT_TRUE(TypeInto(e2e::kFrameTitle, {text}));
  };
  typeInBox(300, "abc");
  Click(700, 650);
  typeInBox(450, "你好");
  Move(700, 650);
  x_->Xdotool({"click", "3"});

  // Dark ink on each text's white box.
  auto ink = [&](const Picture& shot, int top) {
    int n = 0;
    for (int y = top + 2; y < top + 40; ++y)
      for (int x = 202; x < 490; ++x) n += shot.At(x, y) == 0;
    return n;
  };
  Picture drawn;
  std::vector<e2e::Rect> bars;
  ASSERT_TRUE(e2e::WaitUntil([&] {
    bars = ShownBars();
    drawn = e2e::Masked(x_->Screenshot(), bars);
    // The drawn box's frame lies 2 pixels outside the text box's.
    return drawn.At(198, 448) == 0 && ink(drawn, 300) > 20 && ink(drawn, 450) > 40;
  })) << "texts not inked: "
      << ink(drawn, 300) << ", " << ink(drawn, 450);

  const std::string path = e2e::ArtifactDir() + "/texts.zsy";
  const std::string side = path.substr(0, path.size() - 3) + "xyp";
  ASSERT_TRUE(SaveLesson(path)) << "no save dialog";
  std::string bytes;
  EXPECT_TRUE(e2e::WaitUntil([&] {
    std::ifstream in(side, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    return !bytes.empty();
  }));
  EXPECT_EQ(bytes, "abc\r\n\xC4\xE3\xBA\xC3\r\n");

  // Opening shows the bare background for a second, then replays the lesson.
  ASSERT_TRUE(OpenLesson(path)) << "no open dialog";
  ASSERT_TRUE(e2e::WaitUntil([&] { return ink(x_->Screenshot(), 300) == 0; }));
  std::string where;
  EXPECT_TRUE(BoardShows(drawn, &where, bars)) << where;
}

}  // namespace
