#include "app/lesson_render.h"

#include <algorithm>

#include "image/dib.h"
#include "image/png_file.h"
#include "platform/codepage.h"

namespace {

// The reason of a file error, for the terminal.
std::string FileErrorEnglish(plat::FileError error) {
  switch (error) {
    case plat::FileError::kNone:
      return "unknown error";
    case plat::FileError::kNotFound:
      return "no such file";
    case plat::FileError::kNotRegular:
      return "not a regular file";
    case plat::FileError::kCannotOpen:
      return "permission denied or in use";
    case plat::FileError::kCannotCreate:
      return "cannot create the file there";
    case plat::FileError::kWriteFailed:
      return "write failed (disk full?)";
    case plat::FileError::kReadFailed:
      return "read failed";
    case plat::FileError::kPathTooLong:
      return "path too long";
  }
  return "unknown error";
}

std::string PictureErrorEnglish(PictureError error) {
  switch (error) {
    case PictureError::kUnsupportedType:
      return "unsupported picture type (use .png, .bmp, .dib, .jpg or .jpeg)";
    case PictureError::kUnreadable:
      return "damaged, not a picture of its type, or too large";
    case PictureError::kCannotPaint:
      return "picture too large to draw";
    default:
      return FileErrorEnglish(plat::FileError(error));
  }
}

}  // namespace

bool LoadLesson(const std::string& gbkPath, datafile::PointerData* lesson, std::string* error) {
  *lesson = datafile::ReadPointerData(gbkPath);
  switch (lesson->status) {
    case datafile::OpenStatus::kOpened:
      return true;
    case datafile::OpenStatus::kCannotOpen:
      *error = "cannot open: " + FileErrorEnglish(lesson->why);
      return false;
    case datafile::OpenStatus::kCannotRead:
      *error = "cannot read: " + FileErrorEnglish(lesson->why);
      return false;
    case datafile::OpenStatus::kNotALesson:
      if (lesson->badRecord >= 0)
        *error = "not a pointer data file: record " + std::to_string(lesson->badRecord) +
                 " has an unknown opcode";
      else
        *error = "not a pointer data file: " + std::to_string(lesson->fileBytes) +
                 " bytes is not a whole number of at most " + std::to_string(kRecordSlots) +
                 " records of " + std::to_string(datafile::kRecordBytes) + " bytes";
      return false;
  }
  return false;
}

bool PrepareBoard(const datafile::PointerData& lesson, const RenderOptions& options,
                  CMemoryBoard& board, std::string* error) {
  if (!board.IsValid()) {
    *error = "cannot make a picture of " + std::to_string(options.width) + "x" +
             std::to_string(options.height) + " pixels";
    return false;
  }
  std::unique_ptr<CDC> dc = board.GetBoardDC();
  const int w = options.width, h = options.height;
  switch (options.background) {
    case RenderOptions::Background::kWhite:
    case RenderOptions::Background::kBlack:
      dc->PatBlt(0, 0, w, h,
                 options.background == RenderOptions::Background::kWhite ? WHITENESS : BLACKNESS);
      break;
    case RenderOptions::Background::kPicture: {
      // A loaded picture is stretched over the whole board.
      CDib picture;
      PictureError why = PictureError::kNone;
      if (!picture.Load(options.picturePath, &why)) {
        *error = "cannot load the background picture: " + PictureErrorEnglish(why);
        return false;
      }
      const RECT all{0, 0, w, h};
      if (picture.Paint(dc.get(), &all) == 0) {
        *error = "cannot draw the background picture: " +
                 PictureErrorEnglish(PictureError::kCannotPaint);
        return false;
      }
      break;
    }
  }
  const int count = int(std::min<std::size_t>(lesson.records.size(), kRecordSlots));
  std::copy_n(lesson.records.begin(), count, g_records);
  board.m_nCount = count;
  board.m_texts = lesson.texts;
  board.m_posText = board.m_texts.end();
  return true;
}

bool RenderLesson(const datafile::PointerData& lesson, const RenderOptions& options,
                  CMemoryBoard& board, std::string* error) {
  if (!PrepareBoard(lesson, options, board, error)) return false;
  board.Replay(0, board.m_nCount, false);
  return true;
}

bool SaveRenderedPicture(const CBitmap& picture, const std::string& gbkPath, std::string* error) {
  PictureError why = PictureError::kNone;
  bool saved = false;
  if (IsPngPath(gbkPath)) {
    saved = SavePngFile(picture, gbkPath, &why);
  } else if (PictureFormatOf(gbkPath) == PictureFormat::kNone) {
    why = PictureError::kUnsupportedType;
  } else {
    CDib dib;
    saved = dib.FromBitmap(&picture) && dib.Save(gbkPath, &why);
    if (!saved && why == PictureError::kNone) why = PictureError::kWriteFailed;
  }
  if (!saved)
    *error = "cannot write '" + plat::Utf8FromGbk(gbkPath) + "': " + PictureErrorEnglish(why);
  return saved;
}
