#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/board_share.h"
#include "app/lesson_cli.h"
#include "app/main_frame.h"
#include "app/pointer_app.h"
#include "dialogs/replay_dlg.h"
#include "platform/app.h"
#include "platform/codepage.h"
#include "platform/desktop.h"
#include "platform/session.h"
#include "res/res.h"

namespace {

constexpr const char* kUsage =
    "Usage: pointer [--share[=[HOST:]PORT]] [--command ID | --step LESSON.zsy]\n"
    "       pointer render LESSON.zsy -o OUT [options]   (see pointer render --help)\n"
    "       pointer info LESSON.zsy\n"
    "Freezes the screen into a full-screen drawing board for teaching.\n"
    "\n"
    "  --share[=[HOST:]PORT]\n"
    "                 show the board live in students' browsers on the local\n"
    "                 network (default port 8765, every interface; 0: any free\n"
    "                 port) and print the address to open, join code included\n"
    "  --command ID   deliver command ID (1-65535) to the board running on this\n"
    "                 display; exit status 1 when none runs (32850 turns\n"
    "                 sharing on or off, 32851 shows or hides its address)\n"
    "  --step FILE    open the lesson FILE and walk it gesture by gesture:\n"
    "                 Page Down, Right or Space for the next, Page Up or Left\n"
    "                 for the one before, B or period to blank the board\n"
    "  --help         show this text and exit\n"
    "  --version      show the version and exit\n";

int UsageError(const std::string& what) {
  std::fprintf(stderr, "pointer: %s\nTry 'pointer --help'.\n", what.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (IsLessonCommand(argc, argv)) return RunLessonCommand(argc, argv);
  int command = -1;
  std::string lesson;
  bool share = false;
  std::string shareHost;
  unsigned sharePort = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--version") {
      std::printf("pointer %s\n", POINTER_VERSION);
      return 0;
    }
    if (arg == "--step") {
      if (i + 1 >= argc) return UsageError("--step needs a lesson file");
      lesson = argv[++i];
      continue;
    }
    if (arg == "--share" || arg.rfind("--share=", 0) == 0) {
      const std::string target = arg.size() > 7 ? arg.substr(8) : std::string();
      if (!ParseShareTarget(target, &shareHost, &sharePort))
        return UsageError("bad address to share on '" + target + "'");
      share = true;
      continue;
    }
    if (arg != "--command") return UsageError("unknown option '" + arg + "'");
    if (i + 1 >= argc) return UsageError("--command needs a command identifier");
    char* end = nullptr;
    const long id = std::strtol(argv[++i], &end, 10);
    if (!end || *end || end == argv[i] || id <= 0 || id > 0xFFFF)
      return UsageError(std::string("bad command identifier '") + argv[i] + "'");
    command = int(id);
  }
  // Qt aborts on a display it cannot open; say why and stop instead.
  if (const std::string problem = plat::DisplayProblem(); !problem.empty()) {
    std::fprintf(stderr, "pointer: %s\n", problem.c_str());
    return 1;
  }
  plat::InitApplication(argc, argv);
  res::RegisterResources();
  if (command >= 0) {
    if (plat::SendCommandToRunningInstance(unsigned(command))) return 0;
    std::fprintf(stderr, "pointer: no running instance\n");
    return 1;
  }
  if (!theApp.InitInstance()) return 0;
  if (share) {
    std::string error;
    if (!theApp.MainFrame()->m_share->Start(shareHost, sharePort, &error))
      std::fprintf(stderr, "pointer: cannot share the board: %s\n", error.c_str());
  }
  // The command line speaks UTF-8; the board's paths are GBK.
  if (!lesson.empty()) OpenLessonInSteps(theApp.MainFrame()->m_board, plat::GbkFromUtf8(lesson));
  plat::ListenForCommands(theApp.MainFrame());
  const int code = plat::RunMessageLoop();
  theApp.DestroyMainFrame();
  return code;
}
