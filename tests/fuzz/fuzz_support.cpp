#include "tests/fuzz/fuzz_support.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/app.h"
#include "res/res.h"

// Leak checking is off, as in the sanitizer test build: Qt and fontconfig
// keep caches alive until exit.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1"; }

namespace fuzz {

void InitApplication(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
  plat::InitApplication(*argc, *argv);
  res::RegisterResources();
}

const std::string& PrivateFolder() {
  // Never destroyed: the removal at exit still needs the name.
  static const std::string* path = [] {
    auto name =
        new std::string((std::filesystem::temp_directory_path() / "pointer-fuzz-XXXXXX").string());
    if (!mkdtemp(name->data())) std::abort();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(PrivateFolder(), ignored);
    });
    return name;
  }();
  return *path;
}

std::string WriteFile(const std::string& name, std::string_view bytes) {
  const std::string path = PrivateFolder() + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0)
    std::abort();
  return path;
}

FilePair SplitPair(const std::uint8_t* bytes, std::size_t size) {
  if (size < 4) return {};
  const std::size_t rest = size - 4;
  const std::size_t n = std::min<std::size_t>(
      rest,
      std::uint32_t(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24));
  const char* p = reinterpret_cast<const char*>(bytes) + 4;
  return {{p, n}, {p + n, rest - n}};
}

std::string JoinPair(std::string_view data, std::string_view side) {
  const std::uint32_t n = std::uint32_t(data.size());
  std::string out{char(n), char(n >> 8), char(n >> 16), char(n >> 24)};
  return out.append(data).append(side);
}

}  // namespace fuzz
