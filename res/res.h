#pragma once
// The program's resources: original pictures kept as XPM text, and the
// string table. Texts are UTF-8 here; the program converts them to GBK.
namespace res {

// Hands every resource below to the platform (cursors, tool bar strips,
// strings); once, before the first window is made.
void RegisterResources();

// Cursor resource id (166, 159, 165, 242, 171, 177, 176, 178, 184, 191, 239,
// 240, 241, 243, 244, 245, 246, 247): its 32 x 32 XPM and hot spot, or
// nullptr for an unknown id.
const char* const* CursorXpm(unsigned id, int* hotX, int* hotY);

// Bitmap 137: image i (0..23) of the main tool bar strip, 16 x 15.
const char* const* ToolBarImageXpm(int index);

// Tool bar 232: image i (0..4) of the font bar strip, 16 x 15 (2: B, 3: I, 4: U).
const char* const* FontBarImageXpm(int index);

// Bitmap 234: the font name list's pictures, 15 x 12 (0: printer, 1: the
// TrueType mark).
const char* const* FontTypeImageXpm(int index);

// String table entry id, whole ("status text\ntool tip"), or nullptr.
const char* String(unsigned id);

}  // namespace res
