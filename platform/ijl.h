#pragma once
// The JPEG codec in the shape the program calls it: one properties record,
// whole-file reads and writes by file name, a status result (0 success,
// negative failure). Pixel buffers are 3 bytes a pixel, blue-green-red, top
// row first, DIBPadBytes after each row.
#include <cstdint>

constexpr int IJL_JFILE_READPARAMS = 0;
constexpr int IJL_JFILE_READWHOLEIMAGE = 2;
constexpr int IJL_JFILE_WRITEWHOLEIMAGE = 8;

enum IJLERR {
  IJL_OK = 0,
  IJL_NOT_INITIALIZED = -1,          // ijlInit was not called (or ijlFree was)
  IJL_INVALID_FILENAME = -2,         // empty, or not terminated within JPGFile
  IJL_FILE_ERROR = -3,               // the file cannot be opened, read or written
  IJL_INVALID_JPEG_PROPERTIES = -4,  // sizes, channels, buffer or mode unusable
  IJL_MEMORY_ERROR = -5,             // beyond the size bound, or out of memory
  IJL_DECODE_ERROR = -6,             // not a JPEG, or corrupt
  IJL_ENCODE_ERROR = -7,
};

enum IJL_COLOR { IJL_RGB = 1, IJL_BGR = 2, IJL_YCBCR = 3, IJL_G = 4, IJL_OTHER = 5 };
// Chroma sampling of written files: none (4:4:4), 2x2 (4:2:0) or 2x1 (4:2:2).
enum IJL_JPGSUBSAMPLING { IJL_NONE = 0, IJL_411 = 1, IJL_422 = 2 };

// Paths live in a fixed buffer, as the codec's callers expect; a path that
// does not fit with its terminator is refused, never cut.
constexpr int IJL_MAX_PATH = 260;
// Largest picture decoded or encoded: 2^26 pixels (192 MiB at 3 bytes each).
constexpr std::int64_t IJL_MAX_PIXELS = std::int64_t(1) << 26;

struct JPEG_CORE_PROPERTIES {
  // Pixel buffer side.
  std::uint8_t* DIBBytes;
  int DIBWidth;
  int DIBHeight;  // negative: the buffer holds the bottom row first
  int DIBPadBytes;
  int DIBChannels;
  IJL_COLOR DIBColor;
  // JPEG file side.
  char JPGFile[IJL_MAX_PATH];  // GBK path, zero-terminated
  int JPGWidth;
  int JPGHeight;
  int JPGChannels;
  IJL_COLOR JPGColor;
  IJL_JPGSUBSAMPLING JPGSubsampling;
  int jquality;  // 1..100
  // The codec's own state, made by ijlInit and released by ijlFree.
  void* jinternal;
};

int ijlInit(JPEG_CORE_PROPERTIES* props);
int ijlFree(JPEG_CORE_PROPERTIES* props);
int ijlRead(JPEG_CORE_PROPERTIES* props, int mode);
int ijlWrite(JPEG_CORE_PROPERTIES* props, int mode);
