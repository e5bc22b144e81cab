#pragma once
// A saved lesson drawn without a display: the background, then every record
// replayed over it, as the board's full redraw draws them.
#include <string>

#include "records/memory_board.h"
#include "records/pointer_file.h"

struct RenderOptions {
  int width = 1920, height = 1080;
  enum class Background { kWhite, kBlack, kPicture } background = Background::kWhite;
  std::string picturePath;  // GBK; kPicture: stretched over the board as a loaded picture is
};

// Reads the lesson and its side file; false with the reason (UTF-8) in error.
bool LoadLesson(const std::string& gbkPath, datafile::PointerData* lesson, std::string* error);

// Puts the lesson's records and texts in the store and on the board and
// paints the background; the caller replays over it. False with the reason
// (UTF-8) in error when the board or the picture cannot be made.
bool PrepareBoard(const datafile::PointerData& lesson, const RenderOptions& options,
                  CMemoryBoard& board, std::string* error);

// The background and the whole lesson drawn at once.
bool RenderLesson(const datafile::PointerData& lesson, const RenderOptions& options,
                  CMemoryBoard& board, std::string* error);

// Writes the picture by the path's extension: .png, .bmp, .dib, .jpg or
// .jpeg. False with the reason (UTF-8) in error.
bool SaveRenderedPicture(const CBitmap& picture, const std::string& gbkPath, std::string* error);
