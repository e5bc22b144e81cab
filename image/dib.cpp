#include "image/dib.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <exception>

namespace {

// Faulting in a fresh screen-sized block 4 KB at a time costs more than
// reading the file into it on virtual machines: ask for 2 MB pages and have
// the kernel map the rest in one call. Both are hints; a kernel without
// them faults as before.
void PrepareLargeBlock(std::uint8_t* p, std::size_t size) {
  constexpr std::size_t kHugePage = std::size_t(2) << 20;
  if (size < kHugePage / 8) return;
  const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(p), end = begin + size;
  const std::uintptr_t hugeBegin = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t hugeEnd = end & ~(kHugePage - 1);
  if (hugeEnd > hugeBegin) {
    madvise(reinterpret_cast<void*>(hugeBegin), hugeEnd - hugeBegin, MADV_HUGEPAGE);
  }
#ifdef MADV_POPULATE_WRITE
  const std::uintptr_t pageMask = std::uintptr_t(sysconf(_SC_PAGESIZE)) - 1;
  const std::uintptr_t first = begin & ~pageMask;
  madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#endif
}

}  // namespace

HDIB AllocDibForOverwrite(std::size_t size) {
  try {
    auto block = std::make_unique<PackedDib>();
    block->bytes.reserve(size);
    PrepareLargeBlock(block->bytes.data(), size);
    block->bytes.resize(size);
    return block;
  } catch (const std::exception&) {
    return nullptr;
  }
}

HDIB AllocDib(std::size_t size) {
  HDIB block = AllocDibForOverwrite(size);
  if (block) std::fill(block->bytes.begin(), block->bytes.end(), std::uint8_t(0));
  return block;
}

HPALETTE CreateHalftonePalette() {
  auto pal = std::make_unique<LogPalette>();
  pal->entries.reserve(256);
  for (int r = 0; r < 6; ++r) {
    for (int g = 0; g < 6; ++g) {
      for (int b = 0; b < 6; ++b) {
        pal->entries.push_back({BYTE(r * 51), BYTE(g * 51), BYTE(b * 51), 0});
      }
    }
  }
  // The cube's own greys are steps of 51; the ramp fills between them.
  for (int i = 1; pal->entries.size() < 256; ++i) {
    const BYTE v = BYTE(i * 255 / 41);
    pal->entries.push_back({v, v, v, 0});
  }
  return pal;
}

bool ScreenIsPaletteDevice() { return false; }

void CDib::Free() {
  m_palette.reset();
  m_block.reset();
}

bool CDib::Create(int width, int height, int bitCount) {
  Free();
  const int colors = dib::ColorsForBitCount(bitCount);
  if (colors == 0 && bitCount != 16 && bitCount != 24 && bitCount != 32) return false;
  if (!dib::SizeAllowed(width, height)) return false;
  m_palette = CreateHalftonePalette();
  m_width = width;
  m_height = height;
  m_bitCount = bitCount;
  m_rowBytes = int(dib::RowBytes(bitCount, width));
  // Room for the colour table too, so a paletted blank picture is whole
  // (all entries black).
  const std::size_t size = dib::kInfoHeaderBytes + std::size_t(colors) * 4 +
                           std::size_t(m_rowBytes) * std::size_t(height);
  m_block = AllocDib(size);
  if (!m_block) {
    Free();
    return false;
  }
  BITMAPINFOHEADER h;
  h.biWidth = width;
  h.biHeight = height;
  h.biBitCount = WORD(bitCount);
  h.biClrUsed = h.biClrImportant = DWORD(colors);
  dib::WriteInfoHeader(m_block->bytes.data(), h);
  return true;
}

bool CDib::Attach(HDIB block) {
  Free();
  dib::Layout l;
  if (!block || !dib::ParseDib(block->bytes.data(), block->bytes.size(), &l)) return false;
  m_block = std::move(block);
  m_width = l.width;
  m_height = l.height;
  m_bitCount = l.bitCount;
  m_rowBytes = int(l.rowBytes);
  m_palette = BuildDibPalette(m_block.get());
  return true;
}

bool CDib::FromBitmap(const CBitmap* bitmap) {
  HDIB block = PackBitmap(bitmap, m_palette.get());
  if (!block) return false;
  return Attach(std::move(block));
}

int CDib::Paint(CDC* dc, const RECT* dest, const RECT* src, const LogPalette* palette) {
  if (!m_block || !dc) return 0;
  const RECT whole{0, 0, m_width, m_height};
  const CRect d = dest ? *dest : whole;
  const CRect s = src ? *src : whole;
  if (!m_palette) m_palette = CreateHalftonePalette();
  const bool stretch = d.Width() != s.Width() || d.Height() != s.Height();
  return RenderPackedDib(dc, d, m_block.get(), s, palette ? palette : m_palette.get(), stretch);
}

int CDib::GetBitCount() const {
  dib::Layout l;
  if (!m_block || !dib::ParseDib(m_block->bytes.data(), m_block->bytes.size(), &l)) return 0;
  return l.bitCount;
}

int RenderPackedDib(CDC* dc, const RECT& dest, const PackedDib* block, const RECT& src,
                    const LogPalette* /*palette: realising is a no-op on true colour*/,
                    bool stretch) {
  dib::Layout l;
  if (!dc || !block || !dib::ParseDib(block->bytes.data(), block->bytes.size(), &l)) return 0;
  const CRect d(dest), s(src);
  dc->SetStretchBltMode(COLORONCOLOR);
  if (stretch) {
    return dc->StretchDIBits(d.left, d.top, d.Width(), d.Height(), s.left, s.top, s.Width(),
                             s.Height(), block->bytes.data(), l, SRCCOPY);
  }
  return dc->SetDIBitsToDevice(d.left, d.top, d.Width(), d.Height(), s.left, l.height - s.bottom,
                               block->bytes.data(), l);
}

HPALETTE BuildDibPalette(const PackedDib* block) {
  dib::Layout l;
  if (!block || !dib::ParseDib(block->bytes.data(), block->bytes.size(), &l)) return nullptr;
  if (l.colors == 0) return ScreenIsPaletteDevice() ? CreateHalftonePalette() : nullptr;
  auto pal = std::make_unique<LogPalette>();
  pal->entries.resize(std::size_t(l.colors));
  const std::uint8_t* entry = block->bytes.data() + l.tableOffset;
  for (auto& e : pal->entries) {
    e.peBlue = entry[0], e.peGreen = entry[1], e.peRed = entry[2], e.peFlags = 0;
    entry += l.entryBytes;
  }
  return pal;
}

HDIB PackBitmap(const CBitmap* bitmap, const LogPalette* /*palette: see RenderPackedDib*/) {
  if (!bitmap || !bitmap->IsValid()) return nullptr;
  const int width = bitmap->Width(), height = bitmap->Height();
  if (!dib::SizeAllowed(width, height)) return nullptr;
  // Screen bitmaps are 32 bits deep, so the packed picture is 24-bit
  // without a colour table.
  const std::int64_t stride = dib::RowBytes(24, width);
  const std::size_t image = std::size_t(stride) * std::size_t(height);
  HDIB block = AllocDibForOverwrite(dib::kInfoHeaderBytes + image);
  if (!block) return nullptr;
  BITMAPINFOHEADER h;
  h.biWidth = width;
  h.biHeight = height;
  h.biBitCount = 24;
  h.biSizeImage = DWORD(image);
  dib::WriteInfoHeader(block->bytes.data(), h);
  if (bitmap->GetDIBits(0, height, block->bytes.data() + dib::kInfoHeaderBytes) != height) {
    return nullptr;
  }
  return block;
}
