// "pointer render" of a full lesson beside the board's own full redraw, and
// the animated export's frames per second.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

#include "app/lesson_animate.h"
#include "app/lesson_render.h"
#include "bench/bench_board.h"
#include "bench/bench_lesson.h"

namespace {

// The 4999-record lesson and one line more: a full store of 5000, as only
// a file can hold.
datafile::PointerData FullLesson(int w, int h) {
  datafile::PointerData lesson;
  const std::vector<std::string> texts = bench::MakeLesson(w, h);
  g_records[kRecordLimit] = bench::Rec(op::kLine, w - 1, h - 1, 0, 0);
  lesson.records.assign(g_records, g_records + kRecordSlots);
  lesson.texts.assign(texts.begin(), texts.end());
  return lesson;
}

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

void BM_RenderLesson(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  const datafile::PointerData lesson = FullLesson(w, h);
  RenderOptions options;
  options.width = w, options.height = h;
  CMemoryBoard board(w, h);
  std::string error;
  for (auto _ : state) {
    if (!RenderLesson(lesson, options, board, &error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(board.m_bitmap.GetPixel(w / 2, h / 2));
  }
}

// The board's own full redraw: its background copied, then every record.
void BM_BoardFullRedraw(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  const datafile::PointerData lesson = FullLesson(w, h);
  BenchBoard board(w, h);
  board.m_nCount = kRecordSlots;
  for (auto _ : state) {
    board.m_texts = lesson.texts;
    board.m_bRedrawing = true;
    board.CopyBackground();
    board.Replay(0, kRecordSlots, false);
    benchmark::DoNotOptimize(board.m_bitmap.GetPixel(w / 2, h / 2));
  }
}

// Frames written per second of wall time; frame_us is the time per frame.
void Export(benchmark::State& state, const datafile::PointerData& lesson, const char* name,
            bool pointer) {
  AnimateOptions options;
  options.render.width = int(state.range(0)), options.render.height = int(state.range(1));
  options.drawPointer = pointer;
  std::int64_t frames = 0;
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    AnimateResult result;
    if (!ExportAnimation(lesson, options, TempPath(name), &error, &result))
      state.SkipWithError(error.c_str());
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    frames += result.frames;
  }
  std::filesystem::remove(TempPath(name));
  state.counters["frames"] = double(frames) / double(state.iterations());
  state.counters["fps"] = double(frames) / seconds;
  state.counters["frame_us"] = seconds * 1e6 / double(frames);
}

void BM_AnimatedGif(benchmark::State& state) {
  Export(state, FullLesson(int(state.range(0)), int(state.range(1))), "pointer-bench.gif",
         state.range(2) != 0);
}

// Video frames come at every tick: a lesson of pen strokes keeps the run
// short (one frame per record, no pauses).
void BM_AnimatedMp4(benchmark::State& state) {
  datafile::PointerData lesson;
  for (int i = 0; i < 500; ++i)
    lesson.records.push_back(bench::Rec(op::kPenSegment, 100 + i * 3, 200 + (i % 50) * 5,
                                        97 + i * 3, 200 + ((i + 49) % 50) * 5));
  Export(state, lesson, "pointer-bench.mp4", false);
}

}  // namespace

BENCHMARK(BM_RenderLesson)->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoardFullRedraw)->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnimatedGif)
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnimatedMp4)->Args({1920, 1080})->Iterations(1)->Unit(benchmark::kMillisecond);
