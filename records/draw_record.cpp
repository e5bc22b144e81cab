#include "records/draw_record.h"

DrawRecord g_records[kRecordSlots];
DrawStyle g_style;
DrawStyle g_styleSaved;

void MarkAllSlotsEmpty() {
  for (DrawRecord& r : g_records) r.op = op::kEmpty;
}
