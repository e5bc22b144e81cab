#pragma once
// The QR code of a text (the address students scan), as dark and light
// modules; drawing them is the caller's.
#include <string>
#include <vector>

struct QrCode {
  int size = 0;            // modules per side; 0: the text did not fit
  std::vector<bool> dark;  // size x size, top row first
  bool Dark(int x, int y) const { return dark[std::size_t(y) * size + x]; }
};

// Medium error correction: a code shown on a projector is read from afar.
QrCode MakeQrCode(const std::string& text);
