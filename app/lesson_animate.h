#pragma once
// A saved lesson's replay exported as the replay dialog plays it: a GIF
// with a frame for each change of the picture, or a video at one frame per
// replay tick.
#include <cstdint>
#include <string>

#include "app/lesson_render.h"
#include "records/replay_timeline.h"

struct AnimateOptions {
  RenderOptions render;
  bool drawPointer = false;  // the mouse pointer over the picture, where the replay moves it
  bool progress = false;     // a progress bar on the terminal
  unsigned delayMs = kNormalReplayDelayMs;  // the replay's pause at a shape: its speed
};

struct AnimateResult {
  std::int64_t frames = 0;
  std::uint64_t durationMs = 0;
};

// Writes OUT.gif, OUT.mp4 or OUT.webm. False with the reason (UTF-8) in
// error.
bool ExportAnimation(const datafile::PointerData& lesson, const AnimateOptions& options,
                     const std::string& gbkPath, std::string* error,
                     AnimateResult* result = nullptr);
