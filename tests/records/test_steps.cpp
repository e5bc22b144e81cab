#include <gtest/gtest.h>

#include <vector>

#include "records/steps.h"

namespace {

DrawRecord R(char op, int f1 = 0, int f2 = 0, int f3 = 0, int f4 = 0) {
  DrawRecord r{};
  r.op = op;
  r.f1 = f1, r.f2 = f2, r.f3 = f3, r.f4 = f4;
  return r;
}

std::vector<int> Ends(const std::vector<DrawRecord>& records) {
  return StepEnds(records.data(), int(records.size()));
}

}  // namespace

// A pen stroke until a segment starts away from the last end; a brush
// stroke until another record comes between; a polyline until a new one
// starts at its point, even on the last vertex; every shape, text and fill
// alone, even when they join.
TEST(Steps, StrokesRunUntilTheyBreakOffAndShapesTextsAndFillsAreStepsOfTheirOwn) {
  const std::pair<std::vector<DrawRecord>, std::vector<int>> cases[] = {
      {{R('#', 20, 20, 10, 10), R('#', 30, 25, 20, 20), R('#', 40, 30, 30, 25),
        R('#', 60, 60, 50, 50), R('#', 70, 60, 60, 60)},
       {3, 5}},
      {{R('b', 10, 10), R('b', 300, 200), R('b', 12, 10), R('2'), R('b', 12, 10),
        R('#', 5, 5, 1, 1), R('b', 5, 5)},
       {3, 5, 6, 7}},
      {{R('z', 10, 10, 10, 10), R('z', 50, 10, 10, 10), R('z', 50, 50, 50, 10),
        R('z', 50, 50, 50, 50), R('z', 90, 50, 50, 50), R('z', 5, 5, 90, 60)},
       {3, 5, 6}},
      {{R('*', 20, 20, 10, 10), R('*', 30, 30, 20, 20), R('R', 5, 5, 1, 1), R('@', 9, 9, 1, 1),
        R('r', 9, 9, 1, 1), R('$', 9, 9, 1, 1), R('a', 1, 1, 90, 40), R('a', 1, 1, 90, 40),
        R('f', 3, 3), R('f', 3, 3)},
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}};
  for (const auto& [records, ends] : cases) EXPECT_EQ(Ends(records), ends) << records[0].op;
}

// Pen, brush, fill options, font, transparent display and stray bytes show
// nothing by themselves: they come with the next gesture, the last ones with
// the last gesture.
TEST(Steps, StyleRecordsGoWithTheGestureTheyPrecedeAndTrailingOnesWithTheLast) {
  EXPECT_EQ(Ends({R('1'), R('4'), R('a', 1, 1, 90, 40), R('i'), R('3'), R('@', 9, 9, 1, 1),
                  R('#', 20, 20, 10, 10), R('1'), R('#', 30, 30, 20, 20), R('c'), R('N'), R('\xFF'),
                  R('2')}),
            std::vector<int>({3, 6, 7, 13}));
  EXPECT_EQ(Ends({R('1'), R('2')}), std::vector<int>({2})) << "style alone is one step";
  EXPECT_EQ(Ends({}), std::vector<int>());
}

TEST(Steps, ForwardGoesToTheEndOfTheStepHeldAndBackToTheEndBefore) {
  // Steps end at 2 (a font and its text), 4 (a pen stroke) and 5.
  const std::vector<DrawRecord> rec = {R('4'), R('a', 1, 1, 90, 40), R('#', 20, 20, 10, 10),
                                       R('#', 30, 30, 20, 20), R('*', 1, 1, 5, 5)};
  std::vector<int> forward, back;
  for (int p = 0; p <= 6; ++p)
    forward.push_back(NextStepEnd(rec.data(), 5, p)),
        back.push_back(PreviousStepEnd(rec.data(), 5, p));
  EXPECT_EQ(std::pair(forward, back), std::pair(std::vector<int>({2, 2, 4, 4, 5, 5, 5}),
                                                std::vector<int>({0, 0, 0, 2, 2, 4, 5})));
  EXPECT_EQ(std::pair(NextStepEnd(rec.data(), 0, 0), PreviousStepEnd(rec.data(), 0, 0)),
            std::pair(0, 0));
}

TEST(Steps, ACountOutsideTheStoreIsClamped) {
  std::vector<DrawRecord> store(kRecordSlots + 1, R('f', 1, 1));
  const std::vector<int> ends = StepEnds(store.data(), kRecordSlots + 1);
  EXPECT_EQ(std::pair(ends.size(), ends.back()),
            std::pair(std::size_t(kRecordSlots), kRecordSlots));
  EXPECT_TRUE(StepEnds(store.data(), -3).empty() && NextStepEnd(store.data(), -3, 0) == 0);
}
