#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/main_frame.h"
#include "app/pointer_app.h"
#include "platform/app.h"
#include "platform/desktop.h"
#include "res/res.h"

// pointer                 start the board
// pointer --command ID    deliver command ID to the running instance
int main(int argc, char** argv) {
  int command = -1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--command") == 0 && i + 1 < argc) {
      char* end = nullptr;
      const long id = std::strtol(argv[i + 1], &end, 10);
      if (!end || *end || id <= 0 || id > 0xFFFF) {
        std::fprintf(stderr, "pointer: bad command identifier '%s'\n", argv[i + 1]);
        return 2;
      }
      command = int(id);
      ++i;
    }
  }
  plat::InitApplication(argc, argv);
  res::RegisterResources();
  if (command >= 0) {
    if (plat::SendCommandToRunningInstance(unsigned(command))) return 0;
    std::fprintf(stderr, "pointer: no running instance\n");
    return 1;
  }
  if (!theApp.InitInstance()) return 0;
  plat::ListenForCommands(theApp.MainFrame());
  const int code = plat::RunMessageLoop();
  theApp.DestroyMainFrame();
  return code;
}
