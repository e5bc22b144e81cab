#pragma once
// The real main frame with its board, created once as start-up creates it;
// each test starts from an empty store, the default style, the pointer
// tool, the bars shown and a patterned background. Input is delivered by
// calling the board's handlers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_frame.h"
#include "platform/services.h"
#include "records/draw_record.h"
#include "res/resource.h"

struct Picture {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// Pixels that differ, with the first one described in `where`.
int CountDifferences(const Picture& a, const Picture& b, std::string* where = nullptr);

class BoardTest : public ::testing::Test {
 public:
  static CMainFrame& Frame();
  static CBoardWnd& Board() { return Frame().m_board; }

  // What the board shows now, and what a bitmap holds.
  static Picture Snap();
  static Picture Of(CBitmap& bitmap);

 protected:
  void SetUp() override;
  void TearDown() override;

  // The background under every test: the captured screen, a patterned one.
  static COLORREF BackgroundAt(int x, int y);
  // Paints the background and replays records [0, count) over it.
  static Picture ReplayedPicture();
  // Success when the board shows exactly what a replay draws; else the
  // first differing pixel.
  static ::testing::AssertionResult ShowsItsReplay() {
    std::string where;
    if (CountDifferences(Snap(), ReplayedPicture(), &where) == 0)
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "live and replayed pictures differ: " << where;
  }

  static void Press(CPoint p, UINT flags = MK_LBUTTON) { Board().OnLButtonDown(flags, p); }
  static void Move(CPoint p, UINT flags = MK_LBUTTON) { Board().OnMouseMove(flags, p); }
  static void Release(CPoint p, UINT flags = 0) { Board().OnLButtonUp(flags, p); }
  static void DoubleClick(CPoint p) { Board().OnLButtonDblClk(MK_LBUTTON, p); }
  // Press, the moves with the left button down, release.
  static void Drag(CPoint from, const std::vector<CPoint>& via, CPoint to);
  // A click as the platform delivers it: press, release (and, for a double
  // click, the double-click message and a second release).
  static void Click(CPoint p);
  static void DoubleClickAt(CPoint p);
  static void UseTool(UINT tool) { Board().OnSelectTool(tool); }
  static int Count() { return Board().m_nCount; }
  static DrawRecord Rec(char op, int f1, int f2, int f3, int f4);
  // Field-by-field text of record i, for readable failures.
  static std::string Describe(int i);
  static std::string Describe(const DrawRecord& r);

  plat::ScriptedServices m_services;
};
