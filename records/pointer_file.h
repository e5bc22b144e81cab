#pragma once
// Pointer data files: the records in use, 24 little-endian bytes each, and
// beside them the text side file, one GBK entry per CR LF line. Reading and
// writing only; the board turns the results into its messages.
#include <cstddef>
#include <list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "records/draw_record.h"

namespace datafile {

constexpr std::size_t kRecordBytes = 24;
// Only "a" and "4" records use entries, one each, so entries past this many
// are never drawn; a hostile side file cannot fill the memory with them.
constexpr std::size_t kMaxTextEntries = kRecordSlots;
// A side file is read up to this size; texts typed on any screen are far
// shorter.
constexpr std::size_t kMaxSideFileBytes = std::size_t(32) << 20;
// An entry holding CR, LF or this byte is stored with it as an escape:
// 0xFF 'r' for CR, 0xFF 'n' for LF, 0xFF 0xFF for itself. GBK text never
// holds 0xFF, so every other entry is stored as it is.
constexpr char kEscape = '\xFF';

// The records, slot 0 first, in the file's byte order whatever the host's.
std::string EncodeRecords(const DrawRecord* records, int count);
// The whole records at the front of bytes, at most kRecordSlots.
std::vector<DrawRecord> DecodeRecords(std::string_view bytes);

// Each entry on a line of its own, ended by CR LF.
std::string EncodeTexts(const std::list<std::string>& texts);
// One entry per line, its LF or CR LF taken off; a last line without a break
// counts only when the bytes are the whole file (complete).
std::list<std::string> DecodeTexts(std::string_view bytes, bool complete);

// The data file's path with the last three characters of its name replaced
// by "xyp". Characters are whole GBK characters (as Unicode counts them), so
// the result stays valid GBK; a name of fewer than three is replaced whole,
// so the side file stays in the data file's folder.
std::string SideFilePath(const std::string& gbkPath);

enum class SaveStatus { kSaved, kCannotCreate, kWriteFailed };
// Writes records [0, count) and, when there are texts, the side file. Both
// are written in full beside their targets first and then renamed over them,
// so a failed save leaves the files that were there as they were. `why`
// gets the reason of a failure.
SaveStatus SavePointerData(const std::string& gbkPath, const DrawRecord* records, int count,
                           const std::list<std::string>& texts, plat::FileError* why = nullptr);

enum class OpenStatus { kOpened, kCannotOpen, kCannotRead, kNotALesson };
struct PointerData {
  OpenStatus status = OpenStatus::kCannotOpen;
  plat::FileError why = plat::FileError::kNone;  // kCannotOpen, kCannotRead
  // kNotALesson: the file's size, and the first record with an opcode no
  // record uses, or -1 when the size is no whole count of at most
  // kRecordSlots records.
  std::size_t fileBytes = 0;
  int badRecord = -1;
  std::vector<DrawRecord> records;
  std::list<std::string> texts;  // empty when the side file is missing or unreadable
};
// Reads a data file and its side file whole. Anything but a regular file
// cannot be opened; a file that no save could have written is not a lesson.
PointerData ReadPointerData(const std::string& gbkPath);

}  // namespace datafile
