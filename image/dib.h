#pragma once
// A picture held as a packed device-independent bitmap with its display
// palette: blank pictures, capture of a screen bitmap, drawing, BMP files.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "image/picture_file.h"
#include "platform/dib_format.h"
#include "platform/gdi.h"

// Leaves bytes a vector grows by as they are: zeroing a screen-sized block
// that a reader or a capture then overwrites costs a pass over its memory.
template <class T>
struct DefaultInitAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  DefaultInitAllocator() = default;
  template <class U>
  DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

// The movable memory block: header, colour table and pixel rows, byte for
// byte the packed layout.
struct PackedDib {
  std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>> bytes;
};
using HDIB = std::unique_ptr<PackedDib>;

// A zero-filled block of `size` bytes, or none when memory is short.
HDIB AllocDib(std::size_t size);
// The same with its bytes left unset, for a caller that writes every one.
HDIB AllocDibForOverwrite(std::size_t size);

// A logical palette. The display is true colour, so selecting and realising
// one changes nothing; it still records what a palette device would get.
struct PALETTEENTRY {
  BYTE peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
};
struct LogPalette {
  WORD version = 0x300;
  std::vector<PALETTEENTRY> entries;
};
using HPALETTE = std::unique_ptr<LogPalette>;

// The screen's halftone palette: a 6x6x6 colour cube and a grey ramp.
HPALETTE CreateHalftonePalette();
// Whether the screen is a palette device (never, on a true-colour display).
bool ScreenIsPaletteDevice();

class CDib {
 public:
  CDib() = default;
  ~CDib() { Free(); }
  CDib(const CDib&) = delete;
  CDib& operator=(const CDib&) = delete;

  void Free();
  // A black picture with the screen's halftone palette.
  bool Create(int width, int height, int bitCount);
  // Takes the block over; a block that is absent or fails validation leaves
  // the object empty and returns false.
  bool Attach(HDIB block);
  // Captures a screen bitmap; nothing changes when the capture fails.
  bool FromBitmap(const CBitmap* bitmap);
  // Draws into dest from src (whole picture by default); stretched exactly
  // when their sizes differ. Returns the scan lines drawn, 0 on failure.
  int Paint(CDC* dc, const RECT* dest = nullptr, const RECT* src = nullptr,
            const LogPalette* palette = nullptr);
  int GetBitCount() const;
  // Picture files chosen by extension (.bmp, .dib, .jpg, .jpeg); why names
  // the reason of a failure. A save writes a new file beside the old one and
  // replaces it only when complete.
  bool Load(const std::string& gbkPath, PictureError* why = nullptr);
  bool Save(const std::string& gbkPath, PictureError* why = nullptr);

  const PackedDib* Block() const { return m_block.get(); }
  const LogPalette* Palette() const { return m_palette.get(); }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  int RowBytes() const { return m_rowBytes; }

 private:
  HDIB m_block;
  HPALETTE m_palette;
  int m_width = 0;
  int m_height = 0;
  int m_rowBytes = 0;
  int m_bitCount = 0;
};

// Draws a packed bitmap; rectangles are in the order left, top, right,
// bottom. Returns the scan lines drawn (0 for an absent or invalid block).
int RenderPackedDib(CDC* dc, const RECT& dest, const PackedDib* block, const RECT& src,
                    const LogPalette* palette, bool stretch);
// A palette from the colour table; none for a picture without one on a
// non-palette device.
HPALETTE BuildDibPalette(const PackedDib* block);
// A device-dependent bitmap as a new packed bitmap: 24 bits on displays
// deeper than 8 bits. None on failure.
HDIB PackBitmap(const CBitmap* bitmap, const LogPalette* palette);
