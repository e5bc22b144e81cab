// Cost of single device-context calls on a full-HD bitmap: what a replay of
// thousands of records and a rubber band per mouse move are made of.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/app.h"
#include "platform/codepage.h"
#include "platform/gdi.h"

namespace {

constexpr int kW = 1920, kH = 1080;

struct Board {
  CBitmap bitmap;
  CDC dc;
  Board() {
    bitmap.CreateBitmap(kW, kH);
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bitmap);
    dc.PatBlt(0, 0, kW, kH, WHITENESS);
  }
};

void BM_PenSegment(benchmark::State& state) {
  Board b;
  CPen pen(PS_SOLID, int(state.range(0)), RGB(255, 0, 0));
  b.dc.SelectObject(&pen);
  int i = 0;
  for (auto _ : state) {
    const int x = 100 + (i * 7) % 1700, y = 100 + (i * 13) % 800;
    b.dc.MoveTo(x, y);
    b.dc.LineTo(x + 9, y + 5);
    ++i;
  }
}
BENCHMARK(BM_PenSegment)->Arg(1)->Arg(6);

void BM_BrushDab(benchmark::State& state) {
  Board b;
  CBrush brush(RGB(0, 0, 255));
  int i = 0;
  for (auto _ : state) {
    const RECT r{(i * 7) % 1800, (i * 13) % 1000, (i * 7) % 1800 + 15, (i * 13) % 1000 + 10};
    b.dc.FillRect(&r, &brush);
    ++i;
  }
}
BENCHMARK(BM_BrushDab);

// Two inverted outlines per mouse move, screen sized.
void BM_EllipseRubberBand(benchmark::State& state) {
  Board b;
  CPen pen(PS_SOLID, int(state.range(0)), RGB(0, 0, 0));
  b.dc.SelectObject(&pen);
  b.dc.SelectStockObject(NULL_BRUSH);
  b.dc.SetROP2(R2_NOT);
  for (auto _ : state) {
    b.dc.Ellipse(10, 10, kW - 10, kH - 10);
    b.dc.Ellipse(10, 10, kW - 11, kH - 11);
  }
}
BENCHMARK(BM_EllipseRubberBand)->Arg(1)->Arg(6);

void BM_FilledRoundRect(benchmark::State& state) {
  Board b;
  CPen pen(PS_SOLID, 3, RGB(0, 0, 0));
  CBrush brush(RGB(0, 200, 0));
  b.dc.SelectObject(&pen);
  b.dc.SelectObject(&brush);
  for (auto _ : state) b.dc.RoundRect(200, 200, 800, 600, 50, 50);
}
BENCHMARK(BM_FilledRoundRect);

void BM_TextLine(benchmark::State& state) {
  Board b;
  LOGFONT lf;
  lf.lfHeight = 16;
  lf.lfWidth = 9;
  lf.lfFaceName = GBK("宋体");
  CFont font;
  font.CreateFontIndirect(&lf);
  b.dc.SelectObject(&font);
  b.dc.SetBkMode(TRANSPARENT);
  const std::string text = GBK("课堂演示 Pointer 文字");
  int i = 0;
  for (auto _ : state) b.dc.TextOut(100, 100 + (i++ % 50) * 16, text);
}
BENCHMARK(BM_TextLine);

void BM_SnapshotCopy(benchmark::State& state) {
  Board from, to;
  for (auto _ : state) to.dc.BitBlt(0, 0, kW, kH, &from.dc, 0, 0, SRCCOPY);
}
BENCHMARK(BM_SnapshotCopy)->Unit(benchmark::kMillisecond);

}  // namespace
