// A lesson saved with Ctrl+S and opened again with Ctrl+O through the real
// file dialogs brings the drawing back pixel for pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "tests/e2e/board_session.h"

namespace {

constexpr int kLineImage = 11;  // the line tool's button image

class DataFiles : public e2e::BoardSession {
 protected:
  // Keyboard focus follows the pointer: rest it on the dialog, then type.
  bool TypeInto(const std::string& title, const std::string& text) {
    if (!x_->WaitViewable(title)) return false;
    const auto w = x_->FindWindow(title);
    Move(w->rect.x + w->rect.w / 2, w->rect.y + 10);
    e2e::WaitUntil([] { return false; }, 300);  // the dialog takes the focus
    x_->Xdotool({"type", text});
    x_->Xdotool({"key", "Return"});
    return x_->WaitNotViewable(title);
  }
  int Changed(const Picture& from) { return CountDifferences(x_->Screenshot(), from); }
};

TEST_F(DataFiles, ALineSavedThenUndoneComesBackPixelForPixelWhenTheFileIsOpened) {
  ASSERT_TRUE(ClickToolBarImage(kLineImage));
  const Picture before = x_->Screenshot();
  Drag(400, 300, 600, 400);
  ASSERT_TRUE(e2e::WaitUntil([&] { return Changed(before) > 300; })) << "no line drawn";
  // The press hid the bars: the picture once they are gone and it stays.
  ASSERT_TRUE(x_->WaitNotViewable(e2e::kToolsBarTitle) && x_->WaitNotViewable(e2e::kPaletteTitle));
  Picture drawn = x_->Screenshot();
  e2e::WaitUntil([&] { return Changed(drawn) == 0 || (drawn = x_->Screenshot(), false); });

  const std::string path = e2e::ArtifactDir() + "/lesson.zsy";
  std::remove(path.c_str());
  x_->Xdotool({"key", "ctrl+s"});
  ASSERT_TRUE(TypeInto("把当前操作保存为数据文件", path)) << "no save dialog";

  Move(700, 600);
  x_->Xdotool({"key", "ctrl+z"});
  ASSERT_TRUE(e2e::WaitUntil([&] { return Changed(drawn) > 300; })) << "undo left the line";
  x_->Xdotool({"key", "ctrl+o"});
  ASSERT_TRUE(TypeInto("打开", path)) << "no open dialog";
  std::string where;
  EXPECT_TRUE(e2e::WaitUntil([&] {
    return CountDifferences(x_->Screenshot(), drawn, &where) == 0;
  })) << "the opened drawing differs: "
      << where;
}

}  // namespace
