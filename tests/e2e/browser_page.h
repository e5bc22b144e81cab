#pragma once
// A student's browser (tests/e2e/browser/viewer.mjs on Debian's chromium),
// asked one line at a time.
#include <string>

#include "tests/support/picture.h"

namespace e2e {

class BrowserPage {
 public:
  BrowserPage() = default;
  ~BrowserPage();
  BrowserPage(const BrowserPage&) = delete;
  BrowserPage& operator=(const BrowserPage&) = delete;

  // False, with the reason, when node or playwright-core is missing.
  bool Start(std::string* error);
  // The answer line, or "" after timeoutMs.
  std::string Ask(const std::string& command, int timeoutMs = 20000);
  // The page's canvas; an empty picture when it has none.
  Picture Pixels();

 private:
  int pid_ = -1, to_ = -1, from_ = -1;
  std::string pending_;
};

}  // namespace e2e
