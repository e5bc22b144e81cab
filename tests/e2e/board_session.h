#pragma once
// A running board on the shared 1024 x 768 server, started over the known
// picture, with a screenshot and the program's output kept when a test fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/e2e/harness.h"

namespace e2e {

class BoardSession : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    x_ = SharedServer(1024, 768, &error);
    ASSERT_NE(x_, nullptr) << error;
    x_->ShowPattern(0);
    Move(700, 600);
    ASSERT_TRUE(x_->StartPointer(&pointer_));
    ASSERT_TRUE(x_->WaitViewable("Corvale_Tavix"));
    ASSERT_TRUE(x_->WaitViewable("多媒体工具"));
  }
  void TearDown() override {
    if (HasFailure()) {
      const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
      std::printf("screenshot: %s\n", x_->SaveScreenshot(info->name()).c_str());
      std::printf("program output:\n%s\n", pointer_.Log().c_str());
    }
    pointer_.Kill();
    WaitUntil([&] { return x_->FindWindows("Corvale_Tavix").empty(); });
  }
  void Move(int x, int y) { x_->Xdotool({"mousemove", std::to_string(x), std::to_string(y)}); }

  XServer* x_ = nullptr;
  Process pointer_;
};

}  // namespace e2e
