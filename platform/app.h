#pragma once
// The application object of the platform and its message loop.
namespace plat {
// Creates the application (once): device-pixel scaling off, Windows face
// names resolved to installed CJK faces, code page ready.
void InitApplication(int& argc, char** argv);
int RunMessageLoop();
void QuitMessageLoop(int code = 0);
// Runs pending events, timers included (tests drive the loop with it).
void ProcessEvents(int maxMs = 0);
}  // namespace plat
