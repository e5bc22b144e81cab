#include "app/lesson_cli.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/lesson_animate.h"
#include "app/lesson_info.h"
#include "app/lesson_render.h"
#include "platform/app.h"
#include "platform/codepage.h"

namespace {

constexpr const char* kRenderUsage =
    "Usage: pointer render LESSON.zsy -o OUT.png|OUT.jpg|OUT.bmp [options]\n"
    "       pointer render LESSON.zsy --animate -o OUT.gif|OUT.mp4|OUT.webm [options]\n"
    "Draws a saved lesson (with its .xyp side file) as the board's full redraw\n"
    "draws it, without a display.\n"
    "\n"
    "  -o, --output FILE     the picture or animation to write; its extension\n"
    "                        chooses the format\n"
    "  --size WxH            the board's size in pixels (default 1920x1080; at\n"
    "                        most 16384 a side and 8192x8192 in all)\n"
    "  --background white|black|PICTURE\n"
    "                        white (default), black, or a .bmp/.jpg picture\n"
    "                        stretched over the board\n"
    "  --animate             export the replay as the replay dialog plays it:\n"
    "                        one record per 20 ms tick with the pauses of shapes\n"
    "  --pointer             with --animate: draw the mouse pointer's path\n"
    "  --speed 0.5|1|2|4     with --animate: play as the replay dialog's speed\n"
    "                        of that name does (default 1)\n"
    "  --help                show this text\n";

constexpr const char* kInfoUsage =
    "Usage: pointer info LESSON.zsy\n"
    "Lists a saved lesson's records (index, opcode, fields, texts as UTF-8) and a\n"
    "summary: counts per kind, bounding box and texts.\n"
    "\n"
    "  --help   show this text\n";

int UsageError(const char* command, const std::string& what) {
  std::fprintf(stderr, "pointer %s: %s\nTry 'pointer %s --help'.\n", command, what.c_str(),
               command);
  return 2;
}

int Failure(const char* command, const std::string& path, const std::string& why) {
  std::fprintf(stderr, "pointer %s: %s: %s\n", command, path.c_str(), why.c_str());
  return 1;
}

// Far beyond any screen, and small enough that the picture and an
// animation's frame buffers fit in memory together.
constexpr int kMaxSide = 16384;
constexpr long kMaxPixels = 8192L * 8192;

bool ParseSize(const std::string& text, int* width, int* height) {
  int w = 0, h = 0;
  char x = 0, rest = 0;
  if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &rest) != 3 || (x != 'x' && x != 'X'))
    return false;
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide || long(w) * h > kMaxPixels) return false;
  *width = w, *height = h;
  return true;
}

// The replay dialog's speeds, by the pause at a shape; 0 for any other.
unsigned SpeedDelay(const std::string& factor) {
  for (const ReplaySpeed& s : kReplaySpeeds)
    if (factor == s.factor) return s.delayMs;
  return 0;
}

// Subcommands draw into memory: Qt needs no display for that.
void StartHeadless(int& argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  plat::InitApplication(argc, argv);
}

int RunInfo(int argc, char** argv) {
  std::string path;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kInfoUsage, stdout);
      return 0;
    }
    if (arg.size() > 1 && arg[0] == '-') return UsageError("info", "unknown option '" + arg + "'");
    if (!path.empty()) return UsageError("info", "only one lesson at a time");
    path = arg;
  }
  if (path.empty()) return UsageError("info", "no lesson given");
  datafile::PointerData lesson;
  std::string error;
  if (!LoadLesson(plat::GbkFromUtf8(path), &lesson, &error)) return Failure("info", path, error);
  std::fputs(DescribeLesson(lesson).c_str(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

int RunRender(int argc, char** argv) {
  std::string path, output;
  RenderOptions options;
  bool animate = false, pointer = false;
  unsigned delayMs = 0;  // chosen by --speed
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= argc) return false;
      *out = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kRenderUsage, stdout);
      return 0;
    } else if (arg == "-o" || arg == "--output") {
      if (!value(&output)) return UsageError("render", arg + " needs a file name");
    } else if (arg == "--size") {
      if (!value(&v) || !ParseSize(v, &options.width, &options.height))
        return UsageError("render",
                          "--size needs WxH, e.g. 1920x1080, at most 16384 a side and "
                          "8192x8192 in all");
    } else if (arg == "--background") {
      if (!value(&v)) return UsageError("render", "--background needs white, black or a picture");
      if (v == "white") {
        options.background = RenderOptions::Background::kWhite;
      } else if (v == "black") {
        options.background = RenderOptions::Background::kBlack;
      } else {
        options.background = RenderOptions::Background::kPicture;
        options.picturePath = plat::GbkFromUtf8(v);
      }
    } else if (arg == "--animate") {
      animate = true;
    } else if (arg == "--pointer") {
      pointer = true;
    } else if (arg == "--speed") {
      if (!value(&v) || !(delayMs = SpeedDelay(v)))
        return UsageError("render", "--speed needs 0.5, 1, 2 or 4");
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError("render", "unknown option '" + arg + "'");
    } else if (!path.empty()) {
      return UsageError("render", "only one lesson at a time");
    } else {
      path = arg;
    }
  }
  if (path.empty()) return UsageError("render", "no lesson given");
  if (output.empty()) return UsageError("render", "no output file given (-o)");
  if (pointer && !animate) return UsageError("render", "--pointer needs --animate");
  if (delayMs && !animate) return UsageError("render", "--speed needs --animate");

  datafile::PointerData lesson;
  std::string error;
  if (!LoadLesson(plat::GbkFromUtf8(path), &lesson, &error)) return Failure("render", path, error);
  StartHeadless(argc, argv);
  if (animate) {
    AnimateOptions a;
    a.render = options;
    a.drawPointer = pointer;
    a.progress = true;
    if (delayMs) a.delayMs = delayMs;
    if (!ExportAnimation(lesson, a, plat::GbkFromUtf8(output), &error))
      return Failure("render", output, error);
    return 0;
  }
  CMemoryBoard board(options.width, options.height);
  if (!RenderLesson(lesson, options, board, &error)) return Failure("render", path, error);
  if (!SaveRenderedPicture(board.m_bitmap, plat::GbkFromUtf8(output), &error))
    return Failure("render", output, error);
  return 0;
}

}  // namespace

bool IsLessonCommand(int argc, char** argv) {
  return argc > 1 && (std::strcmp(argv[1], "render") == 0 || std::strcmp(argv[1], "info") == 0);
}

int RunLessonCommand(int argc, char** argv) {
  return std::strcmp(argv[1], "info") == 0 ? RunInfo(argc, argv) : RunRender(argc, argv);
}
