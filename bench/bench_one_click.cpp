// The one-click tools on a whole board: a flood fill beside a plain memset
// of the same pixels, and one magnifier step (a 400 x 300 part stretched to
// the board).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/app.h"
#include "platform/gdi.h"

namespace {

struct Board {
  CBitmap bitmap;
  CDC dc;
  Board(int w, int h) {
    bitmap.CreateBitmap(w, h);
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bitmap);
    dc.PatBlt(0, 0, w, h, WHITENESS);
  }
};

// Args: width, height. Every round floods the whole board, alternating two
// colours so that each round has the whole board to fill.
void BM_FloodFillBoard(benchmark::State& state) {
  Board b(int(state.range(0)), int(state.range(1)));
  CBrush red(RGB(255, 0, 0)), white(RGB(255, 255, 255));
  bool toRed = true;
  for (auto _ : state) {
    b.dc.SelectObject(toRed ? &red : &white);
    b.dc.ExtFloodFill(5, 5, toRed ? RGB(255, 255, 255) : RGB(255, 0, 0), FLOODFILLSURFACE);
    toRed = !toRed;
  }
}
BENCHMARK(BM_FloodFillBoard)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

void BM_MemsetBoard(benchmark::State& state) {
  std::vector<unsigned char> pixels(std::size_t(state.range(0)) * std::size_t(state.range(1)) * 4);
  int value = 0;
  for (auto _ : state) {
    std::memset(pixels.data(), value ^= 0xFF, pixels.size());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemsetBoard)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

void BM_MagnifierStep(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  Board view(w, h), board(w, h);
  // The enlargement, then the enlarged board becomes the picture enlarged next.
  for (auto _ : state) {
    board.dc.StretchBlt(0, 0, w, h, &view.dc, 100, 100, 400, 300, SRCCOPY);
    view.dc.BitBlt(0, 0, w, h, &board.dc, 0, 0, SRCCOPY);
  }
}
BENCHMARK(BM_MagnifierStep)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

}  // namespace
