#pragma once
// A folder of the test's own under the system's temporary folder ($TMPDIR
// or /tmp), removed with everything in it when the object goes. Nothing a
// test writes or checks lies outside it, so whatever else the temporary
// folder holds cannot change a result. Header only: the end-to-end tests
// link none of the program's code.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>

struct TempFolder {
  // A fresh folder named after `stem`; aborts when none can be made, since
  // a shared fallback would defeat the point.
  static std::string Make(const std::string& stem = "pointer-test") {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) base = "/tmp";
    std::string name = (base / (stem + "-XXXXXX")).string();
    if (!mkdtemp(name.data())) {
      std::perror(("no private folder under " + base.string()).c_str());
      std::abort();
    }
    return name;
  }

  std::string path = Make();
  TempFolder() = default;
  explicit TempFolder(const std::string& stem) : path(Make(stem)) {}
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  // Names are UTF-8 here; ASCII paths are the same bytes in GBK.
  std::string operator/(const std::string& name) const { return path + "/" + name; }
  auto Entries() const { return std::distance(std::filesystem::directory_iterator(path), {}); }
};
