// Every resource the program asks for resolves and decodes.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <string>
#include <vector>

#include "board/board_wnd.h"
#include "res/res.h"
#include "res/resource.h"

namespace {

TEST(Resources, EveryCursorDecodesTo32By32WithItsHotSpotOnAPixelItDraws) {
  for (unsigned id : CBoardWnd::kCursorIds) {
    int hx = -1, hy = -1;
    const char* const* xpm = res::CursorXpm(id, &hx, &hy);
    ASSERT_NE(xpm, nullptr) << id;
    const QImage image = QImage(xpm).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(32, 32)) << id;
    ASSERT_TRUE(image.rect().contains(hx, hy)) << id;
    EXPECT_EQ(qAlpha(image.pixel(hx, hy)), 255) << id << ": the user sees where the tool acts";
  }
}

TEST(Resources, EveryBarImageDecodesAtItsSize) {
  // The tool bar's, the font bar's and the font types' images.
  for (const auto& [xpm, count, size] : {std::tuple(&res::ToolBarImageXpm, 24, QSize(16, 15)),
                                         std::tuple(&res::FontBarImageXpm, 5, QSize(16, 15)),
                                         std::tuple(&res::FontTypeImageXpm, 2, QSize(15, 12))})
    for (int i = 0; i < count; ++i) EXPECT_EQ(QImage(xpm(i)).size(), size) << count << ": " << i;
}

TEST(Resources, EveryToolBarCommandHasAStatusTextAndAToolTip) {
  // The main tool bar's commands: every tool and eight others.
  std::vector<unsigned> ids = {ID_MENU_POPUP, ID_TRANSPARENT, ID_TEMP_EXIT, ID_BACKGROUND_CYCLE,
                               ID_UNDO,       ID_REDO,        ID_CLEAR_ALL, ID_REPLAY};
  for (unsigned tool = ID_TOOL_FILL; tool <= ID_TOOL_PICKCOLOR; ++tool) ids.push_back(tool);
  for (unsigned id : ids) {
    const std::string s = res::String(id) ? res::String(id) : "";
    EXPECT_TRUE(std::count(s.begin(), s.end(), '\n') == 1 && s.front() != '\n' && s.back() != '\n')
        << id << ": not a status text and a tool tip: " << s;
  }
  EXPECT_EQ(res::String(ID_FONT_NAME), nullptr) << "the font bar shows no tool tips";
}

}  // namespace
