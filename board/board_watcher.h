#pragma once
// Something outside the board that follows its picture (a viewer of the
// class): the board tells it where its pixels changed and nothing more.
#include "platform/types.h"

class CBoardWatcher {
 public:
  virtual ~CBoardWatcher() = default;
  // The board's pixels inside rc (client coordinates) changed; called on the
  // UI thread while drawing goes on, so it must only take note.
  virtual void OnBoardChanged(const RECT& rc) = 0;
};
