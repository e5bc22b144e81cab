#pragma once
// An animated replay as data: for each record the steps the audience sees
// (the tool, the pointer's moves, the drawing) and when they happen. The
// board performs them live with pauses and the real pointer; an export
// draws them into frames. Both take them from here, so the two cannot drift.
#include <cstdint>
#include <vector>

#include "platform/types.h"
#include "records/draw_record.h"

// At the normal speed the replay dialog plays one record per tick of this
// many milliseconds, the tick counted from the end of the record before,
// and pauses this long at a shape.
constexpr unsigned kReplayTickMs = 20;
constexpr unsigned kNormalReplayDelayMs = 2000;

// The replay's speeds, named by their factor, each by its pause at a shape.
struct ReplaySpeed {
  const char* factor;
  unsigned delayMs;
};
inline constexpr ReplaySpeed kReplaySpeeds[] = {{"0.5", 2 * kNormalReplayDelayMs},
                                                {"1", kNormalReplayDelayMs},
                                                {"2", kNormalReplayDelayMs / 2},
                                                {"4", kNormalReplayDelayMs / 4}};

// The tick at another speed, given by its pause at a shape: a faster play
// shortens both alike.
constexpr unsigned ReplayTickMs(unsigned delayMs) {
  const unsigned tick = unsigned(std::uint64_t(kReplayTickMs) * delayMs / kNormalReplayDelayMs);
  return tick ? tick : 1;
}

struct ReplayStep {
  enum Kind : std::uint8_t {
    kTool,  // the board shows `tool`, and its cursor when `cursor`
    kMove,  // the pointer goes to `pointer`
    kDraw,  // the record is drawn
    kEnd,   // the record's last pause is over
  };
  Kind kind = kEnd;
  int record = 0;          // index in the store
  std::uint64_t atMs = 0;  // from the start of the record, or of the whole play
  POINT pointer{};         // kMove: where the pointer goes
  UINT tool = 0;           // kTool: the tool shown
  bool cursor = false;
};

// The steps of one record animated with pauses of `delayMs` (half of it
// after a shape's release), times from the record's start. Records that
// nothing animates are drawn at once.
std::vector<ReplayStep> AnimateRecord(const DrawRecord& r, int index, unsigned delayMs);

// Records [0, count) played as the replay dialog plays them at the speed
// of `delayMs`: the first one tick after play, each next one tick after the
// one before ended. Times are from the press of play.
std::vector<ReplayStep> PlayTimeline(const DrawRecord* records, int count, unsigned delayMs);
