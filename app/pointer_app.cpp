#include "app/pointer_app.h"

#include "app/main_frame.h"
#include "platform/codepage.h"
#include "platform/desktop.h"
#include "platform/session.h"
#include "records/recovery.h"
#include "res/resource.h"

CPointerApp theApp;
bool g_showAbout = true;

CPointerApp::CPointerApp() {
  OnCommand(ID_APP_ABOUT, [this] { ShowAboutBox(); });
  OnCommand(ID_APP_EXIT, [this] { OnAppExit(); });
}

CPointerApp::~CPointerApp() = default;

bool CPointerApp::InitInstance() {
  // The window looked for next appears only after the pause: two quick
  // starts are told apart by the lock.
  if (!plat::TakeInstanceLock()) return false;
  if (plat::FindTopLevelWindow("Corvale_Tavix")) return false;
  if (plat::FindTopLevelWindow("Corvale多媒体网络教室")) g_showAbout = false;
  m_registryKey = "Vestrio";
  SetAppTitle(GBK("Corvale_Tavix"));

  m_pMainWnd = std::make_unique<CMainFrame>();
  // Without a frame there is nothing to show: end start-up.
  if (!m_pMainWnd->LoadFrame()) {
    m_pMainWnd.reset();
    return false;
  }
  if (const std::string path = CRecoveryWriter::DefaultPath(); !path.empty())
    m_pMainWnd->m_board.KeepRecovery(std::make_unique<CRecoveryWriter>(path));
  if (g_showAbout) ShowAboutBox();
  Sleep(1000);
  m_pMainWnd->m_board.CaptureScreen();
  m_pMainWnd->ShowWindow(SW_SHOW);
  m_pMainWnd->UpdateWindow();
  return true;
}

// The program supplies no about box template, so the modal run returns at
// once without showing a window.
void CPointerApp::ShowAboutBox() {}

void CPointerApp::OnAppExit() {
  if (m_pMainWnd) m_pMainWnd->OnClose();
}

void CPointerApp::DestroyMainFrame() { m_pMainWnd.reset(); }
