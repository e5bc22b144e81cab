#pragma once
// Calls that block the program: message boxes and pauses.
#include <string>

#include "platform/types.h"

class CWnd;

int AfxMessageBox(const std::string& gbkText, UINT type = MB_OK);  // caption: app title
int MessageBoxOwned(CWnd* owner, const std::string& gbkText, const std::string& gbkCaption,
                    UINT type);
void SetAppTitle(const std::string& gbk);
const std::string& GetAppTitle();

// Blocking pause: presents what was drawn, then waits on the platform clock.
void Sleep(unsigned ms);
