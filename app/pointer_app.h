#pragma once
// The application object: starts the board once per desktop.
#include <memory>

#include "platform/wnd.h"

class CMainFrame;

class CPointerApp : public CCmdTarget {
 public:
  CPointerApp();
  ~CPointerApp() override;
  // Start-up; false ends the program at once.
  bool InitInstance();
  void ShowAboutBox();
  // Closes the frame as the platform's exit command does.
  void OnAppExit();
  CMainFrame* MainFrame() const { return m_pMainWnd.get(); }
  void DestroyMainFrame();

  std::string m_registryKey;

 private:
  std::unique_ptr<CMainFrame> m_pMainWnd;
};

extern CPointerApp theApp;
// Whether start-up runs the about box.
extern bool g_showAbout;
