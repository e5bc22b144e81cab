#include <algorithm>
#include <iterator>

#include "platform/codepage.h"
#include "records/board_core.h"
#include "records/draw_geometry.h"
#include "records/style_objects.h"

void CreateStylePen(CPen& pen, std::int64_t style, std::int64_t width, COLORREF color) {
  pen.DeleteObject();
  pen.CreatePen(SanitizePenStyle(style), ClampPenWidth(width), color);
}

void CreateStyleFont(CFont& font, const LOGFONT& lf) {
  LOGFONT bounded = lf;
  bounded.lfHeight = std::clamp<LONG>(lf.lfHeight, -kMaxFontPixels, kMaxFontPixels);
  bounded.lfWidth = std::clamp<LONG>(lf.lfWidth, -kMaxFontPixels, kMaxFontPixels);
  font.DeleteObject();
  font.CreateFontIndirect(&bounded);
}

CBoardCore::CBoardCore() {
  SetDefaultLogFont();
  // Stock objects: the routines use them before the window attaches its own.
  m_nullPen.CreateStockObject(NULL_PEN);
  m_nullBrush.CreateStockObject(NULL_BRUSH);
}

CBoardCore::~CBoardCore() {
  m_pen.DeleteObject();
  m_brush.DeleteObject();
  m_font.DeleteObject();
}

void CBoardCore::SetDefaultLogFont() {
  m_logFont = LOGFONT{};
  m_logFont.lfHeight = 21;
  m_logFont.lfWidth = 9;
  m_logFont.lfWeight = 0;
  m_logFont.lfCharSet = DEFAULT_CHARSET;
  m_logFont.lfPitchAndFamily = FF_SWISS;
  m_logFont.lfFaceName = GBK("宋体");
}

bool CBoardCore::AppendRecord(const DrawRecord& rec) {
  if (StoreFull(m_nCount)) return false;
  g_records[m_nCount] = rec;
  ++m_nCount;
  return true;
}

void CBoardCore::RemoveLastText() {
  if (m_texts.empty()) return;
  const auto last = std::prev(m_texts.end());
  if (m_posText == last) m_posText = m_texts.end();
  m_texts.erase(last);
}

void CBoardCore::AppendStyleRecord(int kind) {
  if (StoreFull(m_nCount)) return;
  // Only the fields of the record's kind are written; the others keep the
  // slot's old bytes, which files carry as they are.
  DrawRecord* last = m_nCount > 0 ? &g_records[m_nCount - 1] : nullptr;
  auto target = [&](char opcode) -> DrawRecord& {
    if (last && last->op == opcode) return *last;
    DrawRecord& slot = g_records[m_nCount++];
    slot.op = opcode;
    return slot;
  };
  switch (kind) {
    case kStylePen: {
      DrawRecord& r = target(op::kPen);
      r.f3 = g_style.penStyle;
      r.f4 = g_style.penWidth;
      r.f5 = static_cast<std::int32_t>(g_style.penColor);
      ApplyStyleRecord(r, nullptr);
      TextBoxSetColor(g_style.penColor);
      break;
    }
    case kStyleBrush: {
      DrawRecord& r = target(op::kBrush);
      r.f5 = static_cast<std::int32_t>(g_style.brushColor);
      ApplyStyleRecord(r, nullptr);
      TextBoxSetBkColor(g_style.brushColor);
      break;
    }
    case kStyleFill: {
      DrawRecord& r = target(op::kFill);
      r.f3 = g_style.outline;
      r.f4 = g_style.fill;
      ApplyStyleRecord(r, nullptr);
      break;
    }
    case kStyleFont: {
      if (last && last->op == op::kFont) {
        // The coalesced record keeps one face name: the new one replaces
        // the old, and a replay cursor on the old entry stays on the new.
        const bool cursorOnLast = !m_texts.empty() && m_posText == std::prev(m_texts.end());
        RemoveLastText();
        m_texts.push_back(g_style.faceName);
        if (cursorOnLast) m_posText = std::prev(m_texts.end());
      } else {
        m_texts.push_back(g_style.faceName);
      }
      // The live font takes the face the record names, or a replay would
      // draw later texts in another face: a reset puts the logical font
      // back on the default face while the chosen face stays. An empty
      // name replays as the default face.
      if (!g_style.faceName.empty()) m_logFont.lfFaceName = g_style.faceName;
      DrawRecord& r = target(op::kFont);
      r.f3 = m_logFont.lfHeight;
      r.f4 = m_logFont.lfWeight;
      r.f1 = m_logFont.lfUnderline;
      r.f2 = m_logFont.lfItalic;
      // The live font keeps the face it was built with.
      ApplyStyleRecord(r, nullptr);
      TextBoxSetFont(&m_font);
      break;
    }
    default:
      break;
  }
}

void CBoardCore::ApplyStyleRecord(const DrawRecord& r, const std::string* face) {
  switch (r.op) {
    case op::kPen:
      g_style.penStyle = r.f3;
      g_style.penWidth = r.f4;
      g_style.penColor = static_cast<COLORREF>(r.f5);
      CreateStylePen(m_pen, r.f3, r.f4, g_style.penColor);
      break;
    case op::kBrush:
      g_style.brushColor = static_cast<COLORREF>(r.f5);
      m_brush.DeleteObject();
      m_brush.CreateSolidBrush(g_style.brushColor);
      break;
    case op::kFill:
      g_style.outline = r.f3;
      g_style.fill = r.f4;
      break;
    case op::kFont:
      if (face) m_logFont.lfFaceName = *face;
      m_logFont.lfHeight = r.f3;
      m_logFont.lfWeight = r.f4;
      m_logFont.lfUnderline = static_cast<BYTE>(r.f1 & 0xFF);
      m_logFont.lfItalic = static_cast<BYTE>(r.f2 & 0xFF);
      CreateStyleFont(m_font, m_logFont);
      break;
    default:
      break;
  }
}

void CBoardCore::ResetStyle(bool restoreSaved) {
  m_pen.DeleteObject();
  m_brush.DeleteObject();
  m_font.DeleteObject();
  if (restoreSaved) {
    g_style = g_styleSaved;
    m_logFont = m_logFontSaved;
    if (m_penSaved.IsValid())
      m_pen.CreatePen(m_penSaved.m_style, m_penSaved.m_width, m_penSaved.m_color);
    else
      CreateStylePen(m_pen, g_style.penStyle, g_style.penWidth, g_style.penColor);
    m_brush.CreateSolidBrush(g_style.brushColor);
    CreateStyleFont(m_font, m_logFont);
    return;
  }
  m_pen.CreatePen(PS_SOLID, 2, 0x000000);
  m_brush.CreateSolidBrush(0xFFFFFF);
  SetDefaultLogFont();
  CreateStyleFont(m_font, m_logFont);
  // Pen style, width and face name stay: the palette and the font bar still
  // show them, and the next pen or font record carries them again.
  g_style.penColor = 0x000000;
  g_style.fill = 1;
  g_style.outline = 1;
  g_style.brushColor = 0xFFFFFF;
  m_posText = m_texts.begin();
  m_bTransparent = false;
}
