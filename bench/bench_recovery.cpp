// What the board's UI thread spends handing a full store to the recovery
// writer after a step, beside a plain copy of the same records; the worker
// writes meanwhile, once a second, as in the program.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <list>
#include <string>
#include <vector>

#include "platform/app.h"
#include "platform/codepage.h"
#include "records/recovery.h"

namespace {

constexpr int kFull = kRecordSlots - 1;

// A full store in which every tenth record is a text with a line of its own.
std::list<std::string> FillStore() {
  std::list<std::string> texts;
  for (int i = 0; i < kFull; ++i) {
    g_records[i] = DrawRecord{i % 10 ? op::kPenSegment : op::kText, {}, i, i, i + 1, i + 1, 0};
    if (i % 10 == 0) texts.push_back(GBK("第" + std::to_string(i) + "步：勾股定理 a²+b²=c²"));
  }
  return texts;
}

std::string Folder() {
  static const std::string dir = [] {
    char name[] = "/tmp/pointer-bench-XXXXXX";
    return std::string(mkdtemp(name) ? name : "/tmp");
  }();
  return dir;
}

void BM_KeepFullStore(benchmark::State& state) {
  const std::list<std::string> texts = FillStore();
  CRecoveryWriter writer(Folder() + "/last.zsy");
  std::vector<double> us;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    writer.Keep(g_records, kFull, texts);
    us.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(us.begin(), us.end());
  state.counters["median_us"] = us[us.size() / 2];
  state.counters["p99_us"] = us[us.size() * 99 / 100];
  state.counters["writes"] = writer.Writes();
}

void BM_PlainCopyOfTheStore(benchmark::State& state) {
  const std::list<std::string> texts = FillStore();
  for (auto _ : state) {
    std::vector<DrawRecord> copy(g_records, g_records + kFull);
    std::list<std::string> textCopy = texts;
    benchmark::DoNotOptimize(copy.data());
    benchmark::DoNotOptimize(&textCopy);
  }
}

BENCHMARK(BM_KeepFullStore)->Unit(benchmark::kMicrosecond)->MinTime(2.5);
BENCHMARK(BM_PlainCopyOfTheStore)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  benchmark::Initialize(&argc, argv);
  plat::InitApplication(argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(Folder());
  return 0;
}
