#pragma once
// The review of the drawing (the replay dialog) as the board sees it: the
// board closes it before anything changes the records or the picture.
class CBoardReview {
 public:
  // Ends the review at once as its own close does: the play stops, the
  // style and the tool of before come back, the bars reappear and the board
  // repaints its picture. The review is gone afterwards.
  virtual void CloseReview() = 0;

 protected:
  ~CBoardReview() = default;
};
