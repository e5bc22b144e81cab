#pragma once
// A board on a screen-sized host frame that stands in for the main frame
// and records what the board asks of it. Each test starts from an empty
// store, the default style, the pointer tool, the bars shown and a
// patterned captured background. Input is delivered by calling the
// board's handlers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/board_wnd.h"
#include "platform/frame.h"
#include "platform/services.h"
#include "records/draw_record.h"
#include "res/resource.h"
#include "tests/support/picture.h"

class CTestFrame : public CFrameWnd, public CBoardFrame {
 public:
  bool Create();
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  int OnCreate(CREATESTRUCT* cs) override;

  CWnd& FrameWindow() override { return *this; }
  void ToggleBars() override { m_barsHidden = !m_barsHidden; }
  void HideBars() override { m_barsHidden = true; }
  void ShowFontBar(bool show, bool) override { m_fontBarShown = show; }
  void RepaintPalette() override { ++m_paletteRepaints; }
  void BeginTempExit() override {
    ++m_tempExits;
    m_barsShownAtExit = !m_barsHidden;
  }
  void SetTempExited(bool exited) override { m_tempExited = exited; }

  CBoardWnd m_board;
  bool m_barsHidden = true, m_fontBarShown = false, m_tempExited = false;
  bool m_barsShownAtExit = false;
  int m_paletteRepaints = 0, m_tempExits = 0;
};

class BoardTest : public ::testing::Test {
 public:
  static CTestFrame& Frame();
  static CBoardWnd& Board() { return Frame().m_board; }

  // What the board shows now, and what a bitmap holds.
  static Picture Snap();
  static Picture Of(const CBitmap& bitmap);
  // Copies what the board shows into a bitmap of its size, or such a bitmap
  // onto the board.
  static void CopyScreen(CBitmap& bitmap, bool toBitmap);

 protected:
  void SetUp() override;
  void TearDown() override;

  // The background under every test: the captured screen, a patterned one.
  static COLORREF BackgroundAt(int x, int y);
  // Paints the background and replays records [0, count) over it.
  static Picture ReplayedPicture();
  // Success when the board shows exactly what a replay draws; else the
  // first differing pixel.
  static ::testing::AssertionResult ShowsItsReplay();

  static void Press(CPoint p, UINT flags = MK_LBUTTON) { Board().OnLButtonDown(flags, p); }
  static void Move(CPoint p, UINT flags = MK_LBUTTON) { Board().OnMouseMove(flags, p); }
  static void Release(CPoint p, UINT flags = 0) { Board().OnLButtonUp(flags, p); }
  // Press, the moves with the left button down, release.
  static void Drag(CPoint from, const std::vector<CPoint>& via, CPoint to);
  // A click as the platform delivers it: press, release (and, for a double
  // click, the double-click message and a second release).
  static void Click(CPoint p);
  static void DoubleClickAt(CPoint p);
  static void UseTool(UINT tool) { Board().OnSelectTool(tool); }
  static int Count() { return Board().m_nCount; }
  static DrawRecord Rec(char op, int f1, int f2, int f3, int f4);
  // Field-by-field text of a record, for readable failures.
  static std::string Describe(const DrawRecord& r);
  static std::string Describe(int i) { return Describe(g_records[i]); }

  plat::ScriptedServices m_services;
};
