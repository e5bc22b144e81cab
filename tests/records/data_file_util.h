#pragma once
// Files for the pointer data file tests: a private folder, whole-file bytes,
// and a cap on file sizes that makes writes fail as on a full disk.
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/temp_folder.h"

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// While it lives no file grows past `bytes`, for root too: the program must
// see the longer write fail (EFBIG) rather than be ended by SIGXFSZ.
struct FileSizeLimit {
  rlimit old{};
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit capped{bytes, old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &capped);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old); }
};
