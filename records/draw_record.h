#pragma once
// The drawing record, the record store and the drawing style. Records are
// the model of the drawing; pointer data files hold them byte for byte.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/types.h"

#pragma pack(push, 1)
struct DrawRecord {
  char op;          // opcode character
  char pad[3];      // never written by the program; kept as read
  std::int32_t f1;  // meaning by opcode
  std::int32_t f2;
  std::int32_t f3;
  std::int32_t f4;
  std::int32_t f5;
};
#pragma pack(pop)
// Files are raw arrays of records: the layout must never change.
static_assert(sizeof(DrawRecord) == 24);
static_assert(offsetof(DrawRecord, op) == 0 && offsetof(DrawRecord, f1) == 4 &&
              offsetof(DrawRecord, f2) == 8 && offsetof(DrawRecord, f3) == 12 &&
              offsetof(DrawRecord, f4) == 16 && offsetof(DrawRecord, f5) == 20);

// Opcodes. Append only: stored files rely on every value.
namespace op {
constexpr char kPenSegment = '#', kEllipse = '$', kLine = '*', kPen = '1', kBrush = '2',
               kFill = '3', kFont = '4', kRect = '@', kEmpty = 'N', kArrow = 'R', kText = 'a',
               kBrushDab = 'b', kTransparentOff = 'c', kFloodFill = 'f', kTransparentOn = 'i',
               kRoundRect = 'r', kPolyline = 'z';
// Every opcode a stored record may hold. "N" is among them: this program
// saves none inside the records in use, but a redo of an empty slot in an
// older program could, and the replay passes over it harmlessly.
inline constexpr char kAll[] = {kPenSegment, kEllipse,  kLine,           kPen,       kBrush,
                                kFill,       kFont,     kRect,           kEmpty,     kArrow,
                                kText,       kBrushDab, kTransparentOff, kFloodFill, kTransparentOn,
                                kRoundRect,  kPolyline};
}  // namespace op

constexpr int kRecordSlots = 5000;
// Drawing fills at most this many records; only a file fills the last slot.
constexpr int kRecordLimit = 4999;

extern DrawRecord g_records[kRecordSlots];

// Whether drawing has filled the store. The count is compared unsigned: a
// damaged negative count is as full.
inline bool StoreFull(int count) {
  return static_cast<unsigned>(count) >= static_cast<unsigned>(kRecordLimit);
}

// Sets every slot's opcode to "N" so that redo finds nothing; the fields
// keep their bytes.
void MarkAllSlotsEmpty();

struct DrawStyle {
  COLORREF penColor = 0x000000;
  COLORREF brushColor = 0xFFFFFF;
  std::int32_t penStyle = PS_SOLID;
  std::int32_t penWidth = 2;
  std::int32_t fill = 1;
  std::int32_t outline = 1;
  std::string faceName;  // GBK
};

extern DrawStyle g_style;
extern DrawStyle g_styleSaved;

// Style-record kinds of AppendStyleRecord.
constexpr int kStylePen = 1, kStyleBrush = 2, kStyleFill = 3, kStyleFont = 4;
