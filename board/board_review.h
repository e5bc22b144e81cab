#pragma once
// The review of the drawing (the replay dialog) as the board sees it: the
// board closes it before anything changes the records or the picture.
#include "platform/types.h"

class CBoardReview {
 public:
  // Ends the review at once as its own close does: the play stops, the
  // style and the tool of before come back, the bars reappear and the board
  // repaints its picture. The review is gone afterwards.
  virtual void CloseReview() = 0;
  // A key pressed on the board while the review is open, so that a presenter
  // clicker steers it wherever the keyboard focus is; true takes the key.
  virtual bool OnReviewKey(UINT) { return false; }

 protected:
  ~CBoardReview() = default;
};
