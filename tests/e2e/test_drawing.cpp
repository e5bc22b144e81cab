// Drawing with real input: tools and palette choices clicked on the bars, a
// drag on the board, undo from the keyboard, the bars toggled by a right
// click, and a lesson saved with Ctrl+S and opened again with Ctrl+O through
// the real file dialogs, or refused when it is none.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/e2e/board_session.h"

namespace {

using e2e::kLineImage;
using e2e::Rect;

class Drawing : public e2e::BoardSession {
 protected:
  // Pixels of the board that differ from the known picture, around the line.
  int Changed(const Rect& r) {
    return CountDifferences(e2e::Crop(x_->Screenshot(), r),
                            e2e::Crop(e2e::MakePattern(0, 1024, 768), r));
  }
  int ChangedFrom(const Picture& from, std::string* where = nullptr) {
    return CountDifferences(x_->Screenshot(), from, where);
  }
};

TEST_F(Drawing, ALineShowsCtrlZTakesItAwayAndTheSavedLessonBringsItBackPixelForPixel) {
  ASSERT_TRUE(ClickToolBarImage(kLineImage));
  const Rect around{380, 280, 260, 140};
  ASSERT_EQ(Changed(around), 0);
  Drag(400, 300, 600, 400);

  // A black line of width 2 from (400, 300) to (600, 400).
  ASSERT_TRUE(e2e::WaitUntil([&] {
    const Picture shot = x_->Screenshot();
    int black = 0;
    for (int x = 410; x < 590; x += 10)
      for (int dy = -2; dy <= 2; ++dy) black += shot.At(x, 300 + (x - 400) / 2 + dy) == 0;
    return black >= 18;
  })) << "no black line along the drag";
  EXPECT_LT(Changed(around), 1200) << "more than the line changed";
  // The press hides the bars; the picture once they are gone and it stays.
  ASSERT_TRUE(x_->WaitNotViewable(e2e::kToolsBarTitle) && x_->WaitNotViewable(e2e::kPaletteTitle));
  Picture drawn = x_->Screenshot();
  e2e::WaitUntil([&] { return ChangedFrom(drawn) == 0 || (drawn = x_->Screenshot(), false); });

  // A Chinese extension, which the dialog keeps as it is.
  const std::string path = e2e::ArtifactDir() + "/第1课.课件";
  std::remove(path.c_str());
  x_->Xdotool({"key", "ctrl+s"});
  ASSERT_TRUE(TypeInto("把当前操作保存为数据文件", {path, "@Return"})) << "no save dialog";
  ASSERT_TRUE(x_->WaitNotViewable("把当前操作保存为数据文件"));
  EXPECT_TRUE(e2e::WaitUntil([&] {
    std::error_code noFile;
    const auto bytes = std::filesystem::file_size(path, noFile);
    return !noFile && bytes > 0 && bytes % 24 == 0;
  })) << "no lesson under the name typed";

  // Ctrl+Z redraws without the line.
  Move(700, 600);
  x_->Xdotool({"key", "ctrl+z"});
  EXPECT_TRUE(e2e::WaitUntil([&] { return Changed(around) == 0; })) << "undo left the line";

  x_->Xdotool({"key", "ctrl+o"});
  ASSERT_TRUE(TypeInto("打开", {path, "@Return"})) << "no open dialog";
  ASSERT_TRUE(x_->WaitNotViewable("打开"));
  std::string where;
  EXPECT_TRUE(e2e::WaitUntil([&] { return ChangedFrom(drawn, &where) == 0; })) << where;
}

TEST_F(Drawing, APictureGivenALessonsNameIsRefusedByNameAndTheDrawingStays) {
  QImage photo(64, 48, QImage::Format_RGB32);
  photo.fill(0x3080C0);
  const std::string path = e2e::ArtifactDir() + "/photo.zsy";
  ASSERT_TRUE(photo.save(QString::fromStdString(path), "PNG"));
  ASSERT_TRUE(ClickToolBarImage(kLineImage));
  Drag(400, 300, 600, 400);
  ASSERT_TRUE(x_->WaitNotViewable(e2e::kToolsBarTitle));
  ASSERT_TRUE(e2e::WaitUntil([&] { return Changed(Rect{380, 280, 260, 140}) > 0; }));
  Picture drawn = x_->Screenshot();
  e2e::WaitUntil([&] { return ChangedFrom(drawn) == 0 || (drawn = x_->Screenshot(), false); });

  x_->Xdotool({"key", "ctrl+o"});
  ASSERT_TRUE(TypeInto("打开", {path, "@Return"})) << "no open dialog";
  ASSERT_TRUE(x_->WaitNotViewable("打开"));
  // The message box is captioned with the program's name, as the board is.
  std::optional<e2e::WindowInfo> box;
  ASSERT_TRUE(e2e::WaitUntil([&] {
    for (const auto& w : x_->FindWindows(e2e::kFrameTitle))
      if (w.viewable && w.rect.w < x_->width()) box = w;
    return box.has_value();
  })) << "no message";
  Move(box->rect.x + box->rect.w / 2, box->rect.y + 10);  // the focus follows the pointer
  std::string says;
  e2e::WaitUntil([&] {
    x_->Xdotool({"key", "ctrl+c"});
    says = x_->ClipboardText();
    return !says.empty();
  });
  EXPECT_NE(says.find("这不是教鞭数据文件！\n" + path + "\n"), std::string::npos) << says;
  x_->Xdotool({"key", "Return"});
  std::string where;
  EXPECT_TRUE(e2e::WaitUntil([&] {
    for (const auto& w : x_->FindWindows(e2e::kFrameTitle))
      if (w.viewable && w.rect.w < x_->width()) return false;
    return ChangedFrom(drawn, &where) == 0;
  })) << where;
}

TEST_F(Drawing, RightClicksToggleTheBarsThenARedCellAndTheWidestWidthDrawARedLineSixThick) {
  ASSERT_TRUE(BarsShown());
  Move(600, 500);
  x_->Xdotool({"click", "3"});
  EXPECT_TRUE(e2e::WaitUntil([&] { return !BarsShown(); }));
  x_->Xdotool({"click", "3"});
  EXPECT_TRUE(e2e::WaitUntil([&] { return BarsShown(); }));
  // The board itself is untouched by the toggling.
  EXPECT_EQ(Changed(Rect{300, 300, 600, 400}), 0);

  ClickPalette(40, 34);  // the red cell
  ClickPalette(16, 41);  // the lowest of the five widths in the pen area
  ASSERT_TRUE(ClickToolBarImage(kLineImage));
  Drag(400, 500, 700, 500);

  // Across the line, away from its ends: six red rows where the picture was.
  const COLORREF red = RGB(255, 0, 0);
  const Picture pattern = e2e::MakePattern(0, 1024, 768);
  auto redRows = [&](const Picture& shot, int x) {
    int n = 0;
    for (int y = 480; y < 520; ++y) n += shot.At(x, y) == red && pattern.At(x, y) != red;
    return n;
  };
  ASSERT_TRUE(e2e::WaitUntil([&] { return redRows(x_->Screenshot(), 550) > 0; }))
      << "no red line on the board";
  const Picture line = x_->Screenshot();
  for (int x : {450, 550, 650}) EXPECT_EQ(redRows(line, x), 6) << "at x " << x;
}

}  // namespace
