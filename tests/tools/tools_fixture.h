#pragma once
// The board fixture with the drawing tools' gestures installed afresh.
#include "tests/support/board_fixture.h"
#include "tools/gesture.h"

class ToolsTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    Board().SetTools(MakeBoardTools());
  }
};
