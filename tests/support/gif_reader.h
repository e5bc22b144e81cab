#pragma once
// Reads an animated GIF back for the tests: the frames composed in turn as a
// viewer shows them (frames are never disposed), their delays and rects.
#include <gif_lib.h>

#include <string>
#include <vector>

#include "tests/support/picture.h"

// Every frame of a GIF composed in turn (no frame is disposed), the last
// picture and the delays in hundredths.
struct GifPlay {
  int frames = 0;
  std::vector<int> delays;
  std::vector<RECT> rects;  // each frame's stored rectangle
  Picture last;
};
inline GifPlay PlayGif(const std::string& path) {
  GifPlay play;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (!gif || DGifSlurp(gif) == GIF_ERROR) return play;
  play.frames = gif->ImageCount;
  play.last = MakePicture(gif->SWidth, gif->SHeight, [](int, int) { return COLORREF(0); });
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& im = gif->SavedImages[i];
    GraphicsControlBlock gcb{};
    DGifSavedExtensionToGCB(gif, i, &gcb);
    play.delays.push_back(gcb.DelayTime);
    play.rects.push_back({im.ImageDesc.Left, im.ImageDesc.Top,
                          im.ImageDesc.Left + im.ImageDesc.Width,
                          im.ImageDesc.Top + im.ImageDesc.Height});
    const ColorMapObject* map = im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : gif->SColorMap;
    for (int y = 0; y < im.ImageDesc.Height; ++y)
      for (int x = 0; x < im.ImageDesc.Width; ++x) {
        const GifColorType c = map->Colors[im.RasterBits[y * im.ImageDesc.Width + x]];
        play.last
            .pixels[std::size_t(im.ImageDesc.Top + y) * play.last.width + im.ImageDesc.Left + x] =
            RGB(c.Red, c.Green, c.Blue);
      }
  }
  DGifCloseFile(gif, &error);
  return play;
}
