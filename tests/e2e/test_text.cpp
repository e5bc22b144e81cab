// Typing on the board with real input: the text tool shows the font bar
// with a chosen face and the pen hides it; a Latin and a Chinese text typed
// into dragged boxes, committed by a click and by a right click, saved with
// Ctrl+S in GBK and opened again at the same pixels.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/e2e/board_session.h"

namespace {

using TextTool = e2e::BoardSession;
constexpr int kPenImage = 10, kTextImage = 19;

TEST_F(TextTool, TypedTextsAreInkedSavedInGbkAndOpenedAgainAtTheSamePixels) {
  ASSERT_TRUE(ClickToolBarImage(kTextImage));
  ASSERT_TRUE(x_->WaitViewable(e2e::kFontBarTitle)) << "no font bar with the text tool";
  const auto bar = x_->FindWindow(e2e::kFontBarTitle);
  // The face field inside its frame, below the caption, right of the borders.
  const e2e::Rect field{bar->rect.x + 12, bar->rect.y + 21, 100, 12};
  int dark = 0;  // smoothed text on white: any clearly darker pixel
  EXPECT_TRUE(e2e::WaitUntil([&] {
    const Picture shot = e2e::Crop(x_->Screenshot(), field);
    dark = 0;
    for (COLORREF c : shot.pixels)
      dark += GetRValue(c) < 160 && GetGValue(c) < 160 && GetBValue(c) < 160;
    return dark >= 20;
  })) << "no face shown, dark pixels: "
      << dark;
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
  std::remove(side.c_str());
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
