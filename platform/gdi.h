#pragma once
// GDI objects and device contexts.
#include "platform/dc.h"
#include "platform/gdi_objects.h"
