#pragma once
// Control bars, tool bars, dialog bars and dialogs built from templates
// given as data, and the common controls.
#include "platform/combobox.h"
#include "platform/controlbar.h"
#include "platform/dialog.h"
#include "platform/richedit.h"
#include "platform/slider.h"
#include "platform/static.h"
