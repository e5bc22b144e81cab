#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "tests/e2e/harness.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::printf("e2e logs and screenshots: %s\n", e2e::ArtifactDir().c_str());
  const int result = RUN_ALL_TESTS();
  // Logs and screenshots are kept only when something failed.
  if (result == 0) {
    std::error_code ignored;
    std::filesystem::remove_all(e2e::ArtifactDir(), ignored);
  }
  return result;
}
