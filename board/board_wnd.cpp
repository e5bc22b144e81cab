#include "board/board_wnd.h"

#include "board/text_box.h"
#include "platform/frame.h"
#include "records/recovery.h"
#include "res/resource.h"

const UINT CBoardWnd::kCursorIds[18] = {
    IDC_POINTER,  IDC_LINE,      IDC_PEN,        IDC_RECT,       IDC_MAGNIFY,    IDC_PICKCOLOR,
    IDC_BRUSH,    IDC_FILL,      IDC_FLASH_MARK, IDC_FORBIDDEN,  IDC_TEXT,       IDC_ARROW,
    IDC_POLYLINE, IDC_ROUNDRECT, IDC_ELLIPSE,    IDC_FLASH_RECT, IDC_FLASH_AREA, IDC_FULL};

CBoardWnd::CBoardWnd() { BuildMessageMap(); }

// The style objects go with the record core. Style records chosen since
// the last step are kept too; the writer then finishes its last write.
CBoardWnd::~CBoardWnd() {
  if (m_recovery) m_recovery->Keep(g_records, m_nCount, m_texts);
  m_recovery.reset();
  m_textBox.reset();
  m_bmpCurrent.DeleteObject();
  m_bmpCaptured.DeleteObject();
  m_bmpZoomView.DeleteObject();
}

bool CBoardWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CWnd::PreCreateWindow(cs)) return false;
  cs.style &= ~WS_BORDER;
  cs.classStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  cs.hasCursor = true;
  cs.hasBackground = true;
  return true;
}

int CBoardWnd::OnCreate(CREATESTRUCT* cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  // The null pen and brush are attached by the record core already.
  ResetStyle(false);

  m_rcTextBox = CRect(0, 0, 100, 100);
  m_textBox = std::make_unique<CTextBox>();
  if (!m_textBox->Create(WS_CHILD | WS_BORDER | WS_THICKFRAME | ES_MULTILINE | ES_WANTRETURN,
                         m_rcTextBox, this, IDC_TEXTBOX))
    return -1;
  m_textBox->SetFont(&m_font, true);
  m_textBox->SetTextColor(g_style.penColor);
  m_textBox->SetBackgroundColor(false, g_style.brushColor);

  for (int i = 0; i < 18; ++i) m_cursors[i] = LoadCursorResource(kCursorIds[i]);
  return 0;
}

bool CBoardWnd::CreateInFrame(CFrameWnd& frame, CBoardFrame& host) {
  if (!CreateEx(0, WS_CHILD | WS_VISIBLE | WS_BORDER, std::string(), &frame, CRect(),
                AFX_IDW_PANE_FIRST))
    return false;
  frame.RecalcLayout();
  m_pFrame = &host;
  CreateSurfaces();
  return true;
}

void CBoardWnd::CreateSurfaces() {
  // The desktop rectangle is the screen; every bitmap copy uses its size.
  m_rcDesktop = CRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  const int w = m_rcDesktop.right - m_rcDesktop.left;
  const int h = m_rcDesktop.bottom - m_rcDesktop.top;
  CWindowDC screen(nullptr);
  m_bmpCurrent.CreateCompatibleBitmap(&screen, w, h);
  m_bmpCaptured.CreateCompatibleBitmap(&screen, w, h);
  m_bmpZoomView.CreateCompatibleBitmap(&screen, w, h);
  MarkAllSlotsEmpty();
}

void CBoardWnd::CaptureScreen() {
  const int w = m_rcDesktop.right, h = m_rcDesktop.bottom;
  {
    CWindowDC screen(nullptr);
    CDC mem;
    mem.CreateCompatibleDC(&screen);
    CSelectScope<CBitmap> current(mem, &m_bmpCurrent);
    mem.BitBlt(0, 0, w, h, &screen, 0, 0, SRCCOPY);
    // The screen cannot change between the two copies, so the second comes
    // from the first instead of grabbing the screen again.
    CDC mem2;
    mem2.CreateCompatibleDC(&screen);
    CSelectScope<CBitmap> captured(mem2, &m_bmpCaptured);
    mem2.BitBlt(0, 0, w, h, &mem, 0, 0, SRCCOPY);
  }
  if (m_pFrame) {
    m_pFrame->FrameWindow().ShowWindow(SW_SHOW);
    m_pFrame->ToggleBars();
  }
  ClearTransientMarks();
  m_nBackMode = 0;
  // Showing a window repaints it from its background.
  Invalidate(true);
  UpdateWindow();
}

void CBoardWnd::CopyClientInto(CBitmap& target) {
  CClientDC dc(this);
  CDC mem;
  mem.CreateCompatibleDC(&dc);
  CSelectScope<CBitmap> select(mem, &target);
  mem.BitBlt(0, 0, m_rcDesktop.right, m_rcDesktop.bottom, &dc, 0, 0, SRCCOPY);
}

void CBoardWnd::SnapshotBoard() {
  HideFrameBars();
  const bool text = m_nTool == ID_TOOL_TEXT;
  if (text && m_pFrame) m_pFrame->ShowFontBar(false, false);
  UpdateWindow();
  CopyClientInto(m_bmpCurrent);
  if (text && m_pFrame) m_pFrame->ShowFontBar(true, true);
  // Kept once the message is handled: a command may snapshot a passing
  // state (the background cycle shows the bare background with the count
  // at 0 and restores the count afterwards).
  if (m_recovery && !m_bRecoveryPosted) {
    m_bRecoveryPosted = true;
    PostTask([this] {
      m_bRecoveryPosted = false;
      if (m_recovery) m_recovery->Keep(g_records, m_nCount, m_texts);
    });
  }
}

void CBoardWnd::KeepRecovery(std::unique_ptr<CRecoveryWriter> writer) {
  m_recovery = std::move(writer);
}

void CBoardWnd::SetWatcher(CBoardWatcher* watcher) {
  m_watcher = watcher;
  if (!watcher) {
    WatchClient(nullptr);
    return;
  }
  WatchClient([watcher](const RECT& rc) { watcher->OnBoardChanged(rc); });
}

void CBoardWnd::SnapshotZoomView() { CopyClientInto(m_bmpZoomView); }

void CBoardWnd::HideFrameBars() {
  if (m_pFrame) m_pFrame->HideBars();
}

bool CBoardWnd::OnEraseBkgnd(CDC* pDC) {
  CBitmap* picture = nullptr;
  if (m_nTool == ID_TOOL_MAGNIFY) {
    picture = &m_bmpZoomView;
  } else if (m_nCount != 0 && !m_bRedrawing && !m_bBareRepaint && m_pReplayDlg == nullptr) {
    picture = &m_bmpCurrent;
  } else {
    PaintBackground(*pDC);
    return true;
  }
  CDC mem;
  mem.CreateCompatibleDC(pDC);
  CSelectScope<CBitmap> select(mem, picture);
  pDC->BitBlt(0, 0, m_rcDesktop.right, m_rcDesktop.bottom, &mem, 0, 0, SRCCOPY);
  return true;
}

bool CBoardWnd::PickColorUnderCursor(COLORREF* color, CPoint* pt) {
  POINT p;
  if (!GetCursorPos(&p)) return false;
  ScreenToClient(&p);
  if (p.x < 0 || p.y < 0 || p.x >= GetSystemMetrics(SM_CXSCREEN) ||
      p.y >= GetSystemMetrics(SM_CYSCREEN))
    return false;
  CClientDC dc(this);
  const COLORREF c = dc.GetPixel(p.x, p.y);
  if (c == CLR_INVALID) return false;
  *color = c;
  *pt = p;
  return true;
}

HCURSOR CBoardWnd::CursorFor(UINT resourceId) const {
  for (int i = 0; i < 18; ++i)
    if (kCursorIds[i] == resourceId) return m_cursors[i];
  return m_cursors[0];
}

std::unique_ptr<CDC> CBoardWnd::GetBoardDC() { return std::make_unique<CClientDC>(this); }

void CBoardWnd::TextBoxSetColor(COLORREF color) {
  if (m_textBox) m_textBox->SetTextColor(color);
}

void CBoardWnd::TextBoxSetBkColor(COLORREF color) {
  if (m_textBox) m_textBox->SetBackgroundColor(false, color);
}

void CBoardWnd::TextBoxSetFont(CFont* font) {
  if (m_textBox) m_textBox->SetFont(font, true);
}
