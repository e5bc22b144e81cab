// The main of the benchmarks that need only the offscreen platform and the
// program's resources.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/app.h"
#include "res/res.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 0);
  benchmark::Initialize(&argc, argv);
  plat::InitApplication(argc, argv);
  res::RegisterResources();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
