// Texts from a crafted side file: one 8 MB line in a box as wide as the
// coordinate range, and a full store of 6 KB lines in such boxes. Each is a
// full redraw (an open or an undo draws the same way); only the part of a
// line that can reach the board may cost time.
#include <benchmark/benchmark.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/bench_board.h"
#include "platform/app.h"
#include "platform/codepage.h"
#include "platform/gdi.h"
#include "records/board_core.h"

namespace {

// Mixed Chinese and Latin, as a teacher's texts are.
std::string Line(std::size_t bytes) {
  const std::string unit = GBK("勾股定理 a+b=c，");
  std::string s;
  s.reserve(bytes + unit.size());
  while (s.size() < bytes) s += unit;
  s.resize(bytes);
  return s;
}

// `count` texts of `bytes` each in boxes from (left, top) to the right end
// of the coordinate range, spread over a board-sized area from there.
void RunTexts(benchmark::State& state, int count, std::size_t bytes, int left = 0, int top = 0) {
  BenchBoard board(1920, 1080);
  const std::string line = Line(bytes);
  for (int i = 0; i < count; ++i) {
    const int x = left + 10 + (i * 37) % 1800, y = top + 10 + (i * 23) % 1000;
    DrawRecord& r = g_records[i];
    r = DrawRecord{};
    r.op = op::kText;
    r.f1 = x, r.f2 = y, r.f3 = INT_MAX, r.f4 = y + 40;
  }
  board.m_nCount = count;
  for (auto _ : state) {
    board.m_texts.assign(std::size_t(count), line);
    board.Replay(0, count, false);
    benchmark::DoNotOptimize(board.m_bitmap.GetPixel(20, 20));
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * count * std::int64_t(bytes));
}

constexpr std::size_t kMB = std::size_t(1) << 20;
void BM_WideText8MB(benchmark::State& state) { RunTexts(state, 1, 8 * kMB); }
void BM_WideText31MB(benchmark::State& state) { RunTexts(state, 1, 31 * kMB); }
// The floor for a store of texts in such boxes: as many texts of 40 bytes.
void BM_WideTexts4999x40B(benchmark::State& state) { RunTexts(state, kRecordLimit, 40); }
void BM_WideTexts4999x6KB(benchmark::State& state) { RunTexts(state, kRecordLimit, 6 * 1024); }
// Starting beyond the board's right edge, and below it: nothing can show.
void BM_TextsRightOfTheBoard4999x6KB(benchmark::State& state) {
  RunTexts(state, kRecordLimit, 6 * 1024, 2000, 0);
}
void BM_TextsBelowTheBoard4999x6KB(benchmark::State& state) {
  RunTexts(state, kRecordLimit, 6 * 1024, 0, 1100);
}

BENCHMARK(BM_WideText8MB)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WideText31MB)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WideTexts4999x40B)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WideTexts4999x6KB)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_TextsRightOfTheBoard4999x6KB)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_TextsBelowTheBoard4999x6KB)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
