#pragma once
// The lesson subcommands: "pointer render" draws a saved lesson into a
// picture (or, animated, into a GIF or a video) and "pointer info" lists its
// records. Both run without a display.

// Whether argv[1] names a lesson subcommand.
bool IsLessonCommand(int argc, char** argv);
// Runs it; the process's exit status (0 done, 1 failed, 2 bad usage).
int RunLessonCommand(int argc, char** argv);
