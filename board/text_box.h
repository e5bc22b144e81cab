#pragma once
// The board's text input box.
#include "platform/controls.h"

class CTextBox : public CRichEditCtrl {};
