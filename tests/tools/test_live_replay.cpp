// Random gestures in random styles: what the tools draw live is exactly what
// a replay of their records draws, and undoing everything then redoing
// everything gives the same picture again.
#include <random>

#include "tests/tools/tools_fixture.h"

namespace {

class LiveReplayTest : public ToolsTest {
 protected:
  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
  bool Chance(int percent) { return Uniform(0, 99) < percent; }
  COLORREF Colour() { return COLORREF(Uniform(0, 0xFFFFFF)); }
  CPoint Anywhere() {
    const RECT& rc = Board().m_rcDesktop;
    return {Uniform(0, rc.right - 1), Uniform(0, rc.bottom - 1)};
  }
  CPoint Near(CPoint p, int d) {
    const RECT& rc = Board().m_rcDesktop;
    return {std::clamp(p.x + Uniform(-d, d), 0, int(rc.right) - 1),
            std::clamp(p.y + Uniform(-d, d), 0, int(rc.bottom) - 1)};
  }

  void ChangePen() {
    g_style.penStyle = Uniform(PS_SOLID, PS_DASHDOT);
    g_style.penWidth = Chance(50) ? Uniform(1, 3) : Uniform(0, 12);
    g_style.penColor = Colour();
    Board().AppendStyleRecord(kStylePen);
  }

  void ChangeStyle() {
    CBoardWnd& board = Board();
    const int kind = Uniform(0, 3);
    if (kind == 0) {
      ChangePen();
    } else if (kind == 1) {
      g_style.brushColor = Colour();
      board.AppendStyleRecord(kStyleBrush);
    } else if (kind == 2) {
      g_style.fill = Uniform(0, 1);
      g_style.outline = Uniform(0, 1);
      board.AppendStyleRecord(kStyleFill);
    } else {
      board.OnTransparent();
    }
  }

  void Freehand(UINT tool) {
    UseTool(tool);
    CPoint p = Anywhere();
    Press(p);
    for (int n = Uniform(0, 5); n > 0; --n) Move(p = Near(p, 60));
    Release(p);
  }

  void TwoPoint(UINT tool) {
    UseTool(tool);
    const CPoint from = Anywhere();
    CPoint p = from;
    Press(from);
    for (int n = Uniform(0, 4); n > 0; --n) Move(p = Near(from, 250));
    // Releases often come where no move was seen.
    Release(Chance(40) ? Near(p, 30) : p);
  }

  void Polyline() {
    UseTool(ID_TOOL_POLYLINE);
    CPoint p = Anywhere();
    for (int n = Uniform(1, 4); n > 0; --n) {
      Click(p);
      for (int m = Uniform(0, 3); m > 0; --m) Move(Near(p, 200), 0);
      if (Chance(20)) ChangeStyle();  // a palette click between two vertices
      p = Near(p, 200);
    }
    if (Chance(70)) DoubleClickAt(p);
  }

  std::mt19937 m_rng{20240611};
};

TEST_F(LiveReplayTest, RandomGesturesDrawWhatTheirReplayDraws) {
  static const UINT kTwoPoint[] = {ID_TOOL_LINE, ID_TOOL_ARROW, ID_TOOL_RECT, ID_TOOL_ROUNDRECT,
                                   ID_TOOL_ELLIPSE};
  // A replay from the first record keeps the pen width and style of the
  // moment, and arrows take theirs from there: a pen record comes first.
  ChangePen();
  for (int gesture = 0; gesture < 300; ++gesture) {
    const int kind = Uniform(0, 9);
    if (kind <= 2) ChangeStyle();
    if (kind == 3 || kind == 4) Freehand(kind == 3 ? ID_TOOL_PEN : ID_TOOL_BRUSH);
    if (kind == 5) Polyline();
    if (kind > 5) TwoPoint(kTwoPoint[Uniform(0, 4)]);
  }
  UseTool(ID_TOOL_POINTER);
  CBoardWnd& board = Board();
  const int count = Count();
  ASSERT_GT(count, 300);
  const Picture live = Snap();

  std::string where;
  ASSERT_EQ(CountDifferences(live, ReplayedPicture(), &where), 0) << where;

  const Picture background = Of(board.m_bmpCaptured);
  for (int i = 0; i < count; ++i) board.OnUndo();
  ASSERT_EQ(Count(), 0);
  ASSERT_EQ(CountDifferences(background, Snap(), &where), 0) << where;
  for (int i = 0; i < count; ++i) board.OnRedo();
  ASSERT_EQ(Count(), count);
  EXPECT_EQ(CountDifferences(live, Snap(), &where), 0) << where;
  EXPECT_EQ(CountDifferences(live, Of(board.m_bmpCurrent), &where), 0) << where;
}

}  // namespace
