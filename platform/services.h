#pragma once
// Everything modal or slow goes through these services so tests can script
// it: message-box answers, file and colour dialog results, the blocking
// pauses, and the real mouse pointer.
#include <deque>
#include <string>
#include <vector>

#include "platform/types.h"

class CWnd;

namespace plat {

struct FileDialogRequest {
  bool open = true;
  std::string title;   // GBK; empty: the platform's default title
  std::string defExt;  // without the dot
  std::string filter;  // platform filter string: "text|*.ext|...||"
  std::string initialFile;
  std::string initialDir;  // GBK; empty: the platform's choice
  DWORD flags = 0;
};

class Services {
 public:
  virtual ~Services() = default;
  virtual int MessageBox(CWnd* owner, const std::string& gbkText, const std::string& gbkCaption,
                         UINT type);
  // Returns false when cancelled; the path is in the program's code page.
  virtual bool FileDialog(CWnd* owner, const FileDialogRequest& req, std::string& path);
  virtual bool ColorDialog(CWnd* owner, COLORREF& color, DWORD flags);
  virtual void Sleep(unsigned ms);
  virtual bool SetCursorPos(int x, int y);
  virtual bool GetCursorPos(POINT* p);
};

Services& GetServices();
// Replaces the services (nullptr: the real ones). Not owned.
void SetServices(Services* services);

// A test double: answers from queues, pauses and pointer moves recorded.
class ScriptedServices : public Services {
 public:
  struct Box {
    std::string text, caption;  // GBK
    UINT type;
  };
  struct ColorRequest {
    COLORREF initial;
    DWORD flags;
  };
  int MessageBox(CWnd*, const std::string& text, const std::string& caption, UINT type) override;
  bool FileDialog(CWnd*, const FileDialogRequest& req, std::string& path) override;
  bool ColorDialog(CWnd*, COLORREF& color, DWORD flags) override;
  void Sleep(unsigned ms) override;
  bool SetCursorPos(int x, int y) override;
  bool GetCursorPos(POINT* p) override;

  std::deque<int> boxAnswers;           // empty: IDOK / IDYES for the first button
  std::deque<std::string> fileAnswers;  // "" cancels
  std::deque<std::pair<bool, COLORREF>> colorAnswers;
  std::vector<Box> boxes;
  std::vector<FileDialogRequest> fileRequests;
  std::vector<ColorRequest> colorRequests;
  std::vector<unsigned> pauses;
  std::vector<POINT> pointerMoves;
  POINT pointer{0, 0};
};

// Sets the services for the lifetime of a scope.
class ScopedServices {
 public:
  explicit ScopedServices(Services* s) { SetServices(s); }
  ~ScopedServices() { SetServices(nullptr); }
};

}  // namespace plat
