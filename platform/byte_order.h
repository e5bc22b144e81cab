#pragma once
// Little-endian fields of the file formats, read and written byte by byte so
// that neither the host's byte order nor a field's alignment matters.
#include <cstdint>

namespace plat {

inline std::uint16_t GetLe16(const void* at) {
  const auto* p = static_cast<const std::uint8_t*>(at);
  return std::uint16_t(p[0] | (p[1] << 8));
}
inline std::uint32_t GetLe32(const void* at) {
  const auto* p = static_cast<const std::uint8_t*>(at);
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}
inline void PutLe16(void* at, std::uint16_t v) {
  auto* p = static_cast<std::uint8_t*>(at);
  p[0] = std::uint8_t(v), p[1] = std::uint8_t(v >> 8);
}
inline void PutLe32(void* at, std::uint32_t v) {
  auto* p = static_cast<std::uint8_t*>(at);
  for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

}  // namespace plat
