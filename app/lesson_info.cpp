#include "app/lesson_info.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>

#include "platform/codepage.h"

namespace {

const char* KindName(char opcode) {
  switch (opcode) {
    case op::kPenSegment:
      return "pen segment";
    case op::kEllipse:
      return "ellipse";
    case op::kLine:
      return "line";
    case op::kPen:
      return "pen";
    case op::kBrush:
      return "brush";
    case op::kFill:
      return "fill options";
    case op::kFont:
      return "font";
    case op::kRect:
      return "rectangle";
    case op::kEmpty:
      return "empty";
    case op::kArrow:
      return "arrow";
    case op::kText:
      return "text";
    case op::kBrushDab:
      return "brush dab";
    case op::kTransparentOff:
      return "transparent off";
    case op::kFloodFill:
      return "flood fill";
    case op::kTransparentOn:
      return "transparent on";
    case op::kRoundRect:
      return "rounded rectangle";
    case op::kPolyline:
      return "polyline segment";
    default:
      return "unknown";
  }
}

// A GBK entry as a quoted UTF-8 string; control characters escaped so one
// record stays on one line.
std::string Quoted(const std::string& gbk) {
  std::string out = "\"";
  for (const char c : plat::Utf8FromGbk(gbk)) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", unsigned(static_cast<unsigned char>(c)));
      out += buf;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

struct Box {
  std::int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
  void Add(std::int64_t x, std::int64_t y) {
    left = std::min(left, x), top = std::min(top, y);
    right = std::max(right, x), bottom = std::max(bottom, y);
  }
  bool Empty() const { return left > right; }
};

// The points that bound what a record draws (a fill only its seed point).
void AddToBox(const DrawRecord& r, Box& box) {
  switch (r.op) {
    case op::kPenSegment:
    case op::kEllipse:
    case op::kLine:
    case op::kRect:
    case op::kArrow:
    case op::kRoundRect:
    case op::kPolyline:
      box.Add(r.f1, r.f2), box.Add(r.f3, r.f4);
      break;
    case op::kText:  // the box is drawn two pixels up and left
      box.Add(std::int64_t(r.f1) - 2, std::int64_t(r.f2) - 2);
      box.Add(std::int64_t(r.f3) - 2, std::int64_t(r.f4) - 2);
      break;
    case op::kBrushDab:
      box.Add(r.f1, r.f2), box.Add(std::int64_t(r.f1) + 15, std::int64_t(r.f2) + 10);
      break;
    case op::kFloodFill:
      box.Add(r.f1, r.f2);
      break;
    default:
      break;
  }
}

}  // namespace

std::string DescribeLesson(const datafile::PointerData& lesson) {
  std::string out;
  char line[256];
  std::snprintf(line, sizeof line, "%5s  %-2s  %-18s %11s %11s %11s %11s %11s\n", "index", "op",
                "kind", "f1", "f2", "f3", "f4", "f5");
  out += line;
  auto text = lesson.texts.begin();
  std::map<std::string, int> counts;
  Box box;
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < lesson.records.size(); ++i) {
    const DrawRecord& r = lesson.records[i];
    const unsigned char byte = static_cast<unsigned char>(r.op);
    char opText[8];
    if (byte >= 0x21 && byte < 0x7F)
      std::snprintf(opText, sizeof opText, "%c", r.op);
    else
      std::snprintf(opText, sizeof opText, "%02X", unsigned(byte));
    std::snprintf(line, sizeof line, "%5zu  %-2s  %-18s %11d %11d %11d %11d %11d", i, opText,
                  KindName(r.op), r.f1, r.f2, r.f3, r.f4, r.f5);
    out += line;
    // Text and font records take the next entry, as the replay does.
    if (r.op == op::kText || r.op == op::kFont) {
      if (text != lesson.texts.end()) {
        const std::string entry = Quoted(*text++);
        out += "  " + entry;
        texts.push_back(std::string(r.op == op::kFont ? "font " : "text ") + entry);
      } else {
        out += "  (no entry in the side file)";
      }
    }
    out += '\n';
    ++counts[KindName(r.op)];
    AddToBox(r, box);
  }
  out += "\nrecords: " + std::to_string(lesson.records.size()) + "\n";
  for (const auto& [kind, n] : counts) out += "  " + kind + ": " + std::to_string(n) + "\n";
  if (box.Empty()) {
    out += "bounding box: none\n";
  } else {
    out += "bounding box: (" + std::to_string(box.left) + ", " + std::to_string(box.top) + ") - (" +
           std::to_string(box.right) + ", " + std::to_string(box.bottom) + ")\n";
  }
  out += "texts: " + std::to_string(texts.size()) + "\n";
  for (const std::string& t : texts) out += "  " + t + "\n";
  const std::size_t unused = lesson.texts.size() - std::min(lesson.texts.size(), texts.size());
  if (unused > 0) out += "side file entries no record uses: " + std::to_string(unused) + "\n";
  return out;
}
