// The bytes of pointer data files and text side files.
#include "records/pointer_file.h"

#include <algorithm>
#include <cstdint>

#include "platform/byte_order.h"

namespace datafile {
namespace {

std::string Escape(const std::string& entry) {
  if (entry.find_first_of("\r\n\xFF") == std::string::npos) return entry;
  std::string out;
  out.reserve(entry.size() + 8);
  for (const char c : entry) {
    if (c == '\r' || c == '\n' || c == kEscape) {
      out += kEscape;
      out += c == '\r' ? 'r' : c == '\n' ? 'n' : kEscape;
    } else {
      out += c;
    }
  }
  return out;
}

// An escape byte not followed by one of the three codes stays as it is: such
// an entry was never written by the escaping.
std::string Unescape(std::string_view line) {
  if (line.find(kEscape) == std::string_view::npos) return std::string(line);
  std::string out;
  out.reserve(line.size());
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char next = i + 1 < line.size() ? line[i + 1] : '\0';
    if (line[i] == kEscape && (next == 'r' || next == 'n' || next == kEscape)) {
      out += next == 'r' ? '\r' : next == 'n' ? '\n' : kEscape;
      ++i;
    } else {
      out += line[i];
    }
  }
  return out;
}

bool IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsDigit(unsigned char c) { return c >= 0x30 && c <= 0x39; }

// Bytes of the GBK character at s[i]: two for a lead and a trail byte, four
// for a GB18030 sequence, one for anything else (a lone lead byte counts as
// a character of its own).
std::size_t CharLength(std::string_view s, std::size_t i) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  if (!IsLead(at(i)) || i + 1 >= s.size()) return 1;
  const unsigned char trail = at(i + 1);
  if (IsDigit(trail)) return i + 3 < s.size() && IsLead(at(i + 2)) && IsDigit(at(i + 3)) ? 4 : 1;
  return trail >= 0x40 && trail != 0x7F && trail != 0xFF ? 2 : 1;
}

}  // namespace

std::string EncodeRecords(const DrawRecord* records, int count) {
  count = std::clamp(count, 0, kRecordSlots);
  std::string bytes(std::size_t(count) * kRecordBytes, '\0');
  for (int i = 0; i < count; ++i) {
    const DrawRecord& r = records[i];
    char* p = bytes.data() + std::size_t(i) * kRecordBytes;
    p[0] = r.op;
    std::copy(r.pad, r.pad + 3, p + 1);
    plat::PutLe32(p + 4, std::uint32_t(r.f1));
    plat::PutLe32(p + 8, std::uint32_t(r.f2));
    plat::PutLe32(p + 12, std::uint32_t(r.f3));
    plat::PutLe32(p + 16, std::uint32_t(r.f4));
    plat::PutLe32(p + 20, std::uint32_t(r.f5));
  }
  return bytes;
}

std::vector<DrawRecord> DecodeRecords(std::string_view bytes) {
  const std::size_t count = std::min(bytes.size() / kRecordBytes, std::size_t(kRecordSlots));
  std::vector<DrawRecord> records(count);
  for (std::size_t i = 0; i < count; ++i) {
    const char* p = bytes.data() + i * kRecordBytes;
    DrawRecord& r = records[i];
    r.op = p[0];
    std::copy(p + 1, p + 4, r.pad);
    r.f1 = std::int32_t(plat::GetLe32(p + 4));
    r.f2 = std::int32_t(plat::GetLe32(p + 8));
    r.f3 = std::int32_t(plat::GetLe32(p + 12));
    r.f4 = std::int32_t(plat::GetLe32(p + 16));
    r.f5 = std::int32_t(plat::GetLe32(p + 20));
  }
  return records;
}

std::string EncodeTexts(const std::list<std::string>& texts) {
  std::string bytes;
  for (const std::string& entry : texts) {
    bytes += Escape(entry);
    bytes += "\r\n";
  }
  return bytes;
}

std::list<std::string> DecodeTexts(std::string_view bytes, bool complete) {
  std::list<std::string> texts;
  std::size_t pos = 0;
  while (pos < bytes.size() && texts.size() < kMaxTextEntries) {
    const std::size_t lf = bytes.find('\n', pos);
    // A line cut short by a failed read is not an entry.
    if (lf == std::string_view::npos && !complete) break;
    const std::size_t end = lf == std::string_view::npos ? bytes.size() : lf;
    std::string_view line = bytes.substr(pos, end - pos);
    if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    texts.push_back(Unescape(line));
    pos = lf == std::string_view::npos ? bytes.size() : lf + 1;
  }
  return texts;
}

std::string SideFilePath(const std::string& gbkPath) {
  // '/' is never part of a GBK character.
  const std::size_t slash = gbkPath.find_last_of('/');
  const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
  std::vector<std::size_t> starts;
  for (std::size_t i = name; i < gbkPath.size(); i += CharLength(gbkPath, i)) starts.push_back(i);
  const std::size_t keep = starts.size() < 3 ? name : starts[starts.size() - 3];
  return gbkPath.substr(0, keep) + "xyp";
}

}  // namespace datafile
