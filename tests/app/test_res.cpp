// Every resource the program asks for resolves and decodes.
#include <gtest/gtest.h>

#include <QImage>
#include <cstring>
#include <vector>

#include "res/res.h"
#include "res/resource.h"

namespace {

TEST(Resources, EveryCursorDecodesTo32By32WithItsHotSpotOnAPixelItDraws) {
  for (unsigned id :
       {IDC_POINTER, IDC_LINE, IDC_PEN, IDC_RECT, IDC_MAGNIFY, IDC_PICKCOLOR, IDC_BRUSH, IDC_FILL,
        IDC_FLASH_MARK, IDC_FORBIDDEN, IDC_TEXT, IDC_ARROW, IDC_POLYLINE, IDC_ROUNDRECT,
        IDC_ELLIPSE, IDC_FLASH_RECT, IDC_FLASH_AREA, IDC_FULL}) {
    int hx = -1, hy = -1;
    const char* const* xpm = res::CursorXpm(id, &hx, &hy);
    ASSERT_NE(xpm, nullptr) << id;
    const QImage image = QImage(xpm).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(32, 32)) << id;
    ASSERT_TRUE(image.rect().contains(hx, hy)) << id;
    EXPECT_EQ(qAlpha(image.pixel(hx, hy)), 255) << id << ": the user sees where the tool acts";
  }
  EXPECT_EQ(res::CursorXpm(167, nullptr, nullptr), nullptr);
}

TEST(Resources, EveryBarImageDecodesAtItsSizeAndIndexesPastTheStripsGiveNothing) {
  for (int i = 0; i < 24; ++i)
    EXPECT_EQ(QImage(res::ToolBarImageXpm(i)).size(), QSize(16, 15)) << "tool bar image " << i;
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(QImage(res::FontBarImageXpm(i)).size(), QSize(16, 15)) << "font bar image " << i;
  EXPECT_EQ(QImage(res::TrueTypeMarkXpm()).size(), QSize(15, 12));
  for (int outside : {-1, 24}) EXPECT_EQ(res::ToolBarImageXpm(outside), nullptr);
  for (int outside : {-1, 5}) EXPECT_EQ(res::FontBarImageXpm(outside), nullptr);
}

TEST(Resources, TheTitleTheFilterAndEveryToolBarCommandsStatusTextAndToolTipAreThere) {
  EXPECT_NE(res::String(IDR_MAINFRAME), nullptr);
  EXPECT_NE(res::String(IDS_PICTURE_FILTER), nullptr);
  // The main tool bar's commands: every tool and eight others.
  std::vector<unsigned> ids = {ID_MENU_POPUP, ID_TRANSPARENT, ID_TEMP_EXIT, ID_BACKGROUND_CYCLE,
                               ID_UNDO,       ID_REDO,        ID_CLEAR_ALL, ID_REPLAY};
  for (unsigned tool = ID_TOOL_FILL; tool <= ID_TOOL_PICKCOLOR; ++tool) ids.push_back(tool);
  for (unsigned id : ids) {
    const char* s = res::String(id);
    ASSERT_NE(s, nullptr) << id;
    const char* nl = std::strchr(s, '\n');
    ASSERT_NE(nl, nullptr) << id;
    EXPECT_GT(nl, s) << id << ": no status text";
    EXPECT_GT(std::strlen(nl + 1), 0u) << id << ": no tool tip";
    EXPECT_EQ(std::strchr(nl + 1, '\n'), nullptr) << id;
  }
  EXPECT_EQ(res::String(ID_FONT_NAME), nullptr) << "the font bar shows no tool tips";
}

}  // namespace
