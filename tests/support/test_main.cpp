#include <gtest/gtest.h>

#include "platform/app.h"
#include "res/res.h"

// Unit tests run on Qt's offscreen platform; the application object is
// created once for every test of the executable.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  plat::InitApplication(argc, argv);
  res::RegisterResources();
  return RUN_ALL_TESTS();
}
