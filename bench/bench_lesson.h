#pragma once
// The benchmarks' typical lesson, put straight into the record store.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "records/draw_record.h"

namespace bench {

inline DrawRecord Rec(char op, int f1 = 0, int f2 = 0, int f3 = 0, int f4 = 0, int f5 = 0) {
  DrawRecord r{};
  r.op = op;
  r.f1 = f1, r.f2 = f2, r.f3 = f3, r.f4 = f4, r.f5 = f5;
  return r;
}

// A lesson of 4999 records: freehand strokes for the most part, with lines,
// arrows, shapes, brush dabs, texts and the style changes between them.
inline std::vector<std::string> MakeLesson(int w, int h) {
  std::mt19937 rng(1234);
  auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  std::vector<std::string> texts;
  const COLORREF colors[] = {0x0000FF, 0x00AA00, 0xFF0000, 0x000000, 0x00FFFF};
  int n = 0;
  auto put = [&](const DrawRecord& r) {
    if (n < kRecordLimit) g_records[n++] = r;
  };
  while (n < kRecordLimit) {
    const int kind = uni(0, 99);
    if (kind < 60) {  // a pen stroke of 30 to 90 segments
      int x = uni(0, w - 1), y = uni(0, h - 1);
      for (int s = uni(30, 90); s > 0; --s) {
        const int nx = std::clamp(x + uni(-8, 8), 0, w - 1),
                  ny = std::clamp(y + uni(-8, 8), 0, h - 1);
        put(Rec(op::kPenSegment, nx, ny, x, y));
        x = nx, y = ny;
      }
    } else if (kind < 66) {  // a brush stroke of dabs
      int x = uni(0, w - 20), y = uni(0, h - 20);
      for (int s = uni(5, 20); s > 0; --s) {
        put(Rec(op::kBrushDab, x, y));
        x = std::clamp(x + uni(-6, 6), 0, w - 20), y = std::clamp(y + uni(-6, 6), 0, h - 20);
      }
    } else if (kind < 74) {
      put(Rec(op::kLine, uni(0, w), uni(0, h), uni(0, w), uni(0, h)));
    } else if (kind < 79) {
      const int x = uni(0, w - 400), y = uni(0, h - 300);
      put(Rec(op::kArrow, x + uni(50, 400), y + uni(0, 300), x, y));
    } else if (kind < 83) {
      const int x = uni(0, w - 500), y = uni(0, h - 400);
      put(Rec(op::kRect, x + uni(50, 500), y + uni(50, 400), x, y));
    } else if (kind < 85) {
      const int x = uni(0, w - 500), y = uni(0, h - 400);
      put(Rec(op::kRoundRect, x + uni(60, 500), y + uni(60, 400), x, y));
    } else if (kind < 88) {
      const int x = uni(0, w - 500), y = uni(0, h - 400);
      put(Rec(op::kEllipse, x + uni(50, 500), y + uni(50, 400), x, y));
    } else if (kind < 90) {
      const int x = uni(0, w - 400), y = uni(0, h - 100);
      texts.push_back(GBK("勾股定理 a² + b² = c²，直角三角形"));
      put(Rec(op::kText, x, y, x + 300, y + 70));
    } else if (kind < 95) {
      put(Rec(op::kPen, 0, 0, uni(0, 3) == 0 ? PS_DASH : PS_SOLID, uni(1, 6), colors[uni(0, 4)]));
    } else if (kind < 97) {
      put(Rec(op::kBrush, 0, 0, 0, 0, colors[uni(0, 4)]));
    } else if (kind < 99) {
      put(Rec(op::kFill, 0, 0, 1, uni(0, 1)));
    } else {
      texts.push_back(GBK("宋体"));
      put(Rec(op::kFont, 0, 0, uni(16, 36), uni(0, 1) ? 700 : 400));
    }
  }
  return texts;
}

}  // namespace bench
