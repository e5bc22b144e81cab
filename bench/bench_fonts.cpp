// The font name list filled from every installed font, as at start-up
// (target: under 100 ms), and the enumeration alone.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "panels/font_combo.h"
#include "platform/app.h"
#include "platform/fonts.h"
#include "platform/frame.h"

namespace {

CFrameWnd& Parent() {
  static CFrameWnd* frame = [] {
    auto* f = new CFrameWnd;
    f->CreateEx(0, WS_POPUP, "", nullptr, CRect(0, 0, 400, 400), 0);
    return f;
  }();
  return *frame;
}

void BM_FillFontList(benchmark::State& state) {
  int faces = 0;
  for (auto _ : state) {
    CFontCombo box;
    box.Create(
        WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | CBS_OWNERDRAWFIXED | CBS_SORT | CBS_HASSTRINGS,
        CRect(0, 0, 160, 300), &Parent(), 32824);
    box.FillFontList();
    faces = box.GetCount();
  }
  state.counters["faces"] = faces;
}
BENCHMARK(BM_FillFontList)->Unit(benchmark::kMillisecond);

void BM_EnumerateFonts(benchmark::State& state) {
  int fonts = 0;
  for (auto _ : state) {
    fonts = 0;
    EnumFontFamiliesEx(
        nullptr, nullptr,
        [&](const LOGFONT&, DWORD) {
          ++fonts;
          return 1;
        },
        0);
  }
  state.counters["logical fonts"] = fonts;
}
BENCHMARK(BM_EnumerateFonts)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 0);
  // The preview setting goes to a store of the bench's own.
  const auto store = std::filesystem::temp_directory_path() / "pointer-bench-registry";
  setenv("POINTER_REGISTRY_DIR", store.c_str(), 1);
  plat::InitApplication(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(store);
  return 0;
}
