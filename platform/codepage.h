#pragma once
// The program's strings are GBK bytes; the UI speaks Unicode. GB18030 is used
// for conversion so no typed character is lost, while GBK stays byte-identical.
#include <string>
#include <string_view>

namespace plat {
std::string GbkFromUtf8(std::string_view utf8);
std::string Utf8FromGbk(std::string_view gbk);
}  // namespace plat

// The program's literals are written in UTF-8 source; this gives their GBK bytes.
inline std::string GBK(std::string_view utf8) { return plat::GbkFromUtf8(utf8); }
