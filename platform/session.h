#pragma once
// What the program checks before it starts: a display it can serve, and
// that no other instance runs on that display.
#include <string>

namespace plat {
// Empty when the display can be served; otherwise one line saying why not
// (no display, or fewer than 15 bits per pixel). Without a display
// environment (Qt's offscreen platform chosen) there is nothing to check.
std::string DisplayProblem();
// Takes the lock of this display for the life of the process; false when
// another instance holds it. Taken at the very start, before any pause, so
// two quick starts give one board.
bool TakeInstanceLock();
}  // namespace plat
