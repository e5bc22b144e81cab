#pragma once
// The font size list: labels in list order and the pixel height each sets
// (the width is always 4 * height / 9).
struct FontSize {
  const char* label;  // UTF-8
  int height;
};
constexpr int kFontSizeCount = 32;
extern const FontSize kFontSizes[kFontSizeCount];
