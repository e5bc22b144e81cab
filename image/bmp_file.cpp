#include "image/bmp_file.h"

#include <algorithm>

namespace {

// The largest file worth reading: the biggest header, masks and colour table
// with the largest 32-bit picture, plus room for trailing data (a profile).
constexpr std::int64_t kMaxFileBytes = 124 + 12 + 256 * 4 + dib::kMaxPixels * 4 + (1 << 20);

// Stores a top-down picture bottom-up, as every other part expects.
void MakeBottomUp(PackedDib& block, const dib::Layout& l) {
  std::uint8_t* bits = block.bytes.data() + l.bitsOffset;
  const std::size_t stride = std::size_t(l.rowBytes);
  for (int top = 0, bottom = l.height - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(bits + top * stride, bits + (top + 1) * stride, bits + bottom * stride);
  }
  plat::PutLe32(block.bytes.data() + 8, std::uint32_t(l.height));
}

}  // namespace

bool WriteBmpToFile(PackedDib* block, CImageFile& file) {
  dib::Layout l;
  if (!block || !dib::ParseDib(block->bytes.data(), block->bytes.size(), &l)) return false;
  std::uint8_t* p = block->bytes.data();
  if (!l.IsCore() && l.compression != BI_RLE8 && l.compression != BI_RLE4) {
    plat::PutLe32(p + 20, std::uint32_t(l.imageBytes));
  }
  const std::size_t part = l.bitsOffset + l.imageBytes;
  std::uint8_t header[dib::kFileHeaderBytes] = {};
  plat::PutLe16(header, kBmpSignature);
  plat::PutLe32(header + 2, std::uint32_t(dib::kFileHeaderBytes + part));
  plat::PutLe32(header + 10, std::uint32_t(dib::kFileHeaderBytes + l.bitsOffset));
  return file.Write(header, sizeof header) && file.Write(p, part) && file.Flush();
}

HDIB ReadBmpFromFile(CImageFile& file) {
  const std::int64_t length = file.GetLength(), position = file.GetPosition();
  if (length < 0 || position < 0 || position > length) return nullptr;
  const std::int64_t remaining = length - position;
  if (remaining < std::int64_t(dib::kFileHeaderBytes + dib::kCoreHeaderBytes) ||
      remaining > kMaxFileBytes) {
    return nullptr;
  }
  std::uint8_t header[dib::kFileHeaderBytes];
  if (file.Read(header, sizeof header) != sizeof header || plat::GetLe16(header) != kBmpSignature) {
    return nullptr;
  }
  const std::size_t size = std::size_t(remaining) - dib::kFileHeaderBytes;
  HDIB block = AllocDibForOverwrite(size);
  if (!block || file.Read(block->bytes.data(), size) != size) return nullptr;
  dib::Layout l;
  if (!dib::ParseDib(block->bytes.data(), size, &l)) return nullptr;
  // The pixels are taken to follow the colour table; a file whose offset
  // says otherwise would come out shifted, so it is refused (0 is left by
  // some writers and tells nothing).
  const std::uint32_t offset = plat::GetLe32(header + 10);
  if (offset != 0 && offset != dib::kFileHeaderBytes + l.bitsOffset) return nullptr;
  if (l.topDown) MakeBottomUp(*block, l);
  return block;
}
