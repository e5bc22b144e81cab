#pragma once
// Animated GIF files written frame by frame. Each frame stores only the
// rectangle that differs from the frame before, with a palette of its own
// exact colours (a 3-3-2 colour cube when more than 256 colours changed).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

class CGifWriter {
 public:
  CGifWriter();
  ~CGifWriter();  // a file not closed is dropped
  CGifWriter(const CGifWriter&) = delete;
  CGifWriter& operator=(const CGifWriter&) = delete;

  // Begins the file beside gbkPath; it takes the path's place on Close.
  // False with the reason (UTF-8) in error.
  bool Open(const std::string& gbkPath, int width, int height, std::string* error);
  // The picture (0x00RRGGBB, rows top first, `width` pixels each) as it is
  // from atMs on; it differs from the frame before at most inside
  // `changed`. Times never decrease.
  bool AddFrame(const std::uint32_t* pixels, RECT changed, std::uint64_t atMs);
  // The last frame lasts until endMs (at least one hundredth of a second).
  bool Close(std::uint64_t endMs, std::string* error);
  int FramesWritten() const { return m_frames; }

 private:
  struct Staged;
  bool WriteStaged(std::uint64_t untilMs);

  struct File;
  std::unique_ptr<File> m_file;
  std::unique_ptr<Staged> m_staged;
  std::vector<std::uint32_t> m_previous;  // the last frame's picture
  int m_width = 0, m_height = 0;
  int m_frames = 0;
  std::uint64_t m_shownCs = 0;  // hundredths written as delays so far
};
