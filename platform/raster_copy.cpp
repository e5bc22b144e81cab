#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/byte_order.h"
#include "platform/raster_qt.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#endif

namespace plat::raster {
namespace {

using i64 = std::int64_t;
using i128 = __int128;

constexpr QRgb kOpaque = 0xFF000000u;

QRgb Bgr24(const uchar* p) { return kOpaque | (QRgb(p[2]) << 16) | (QRgb(p[1]) << 8) | QRgb(p[0]); }

// n pixels of a 24-bit row. Each pixel is read as four bytes, the fourth
// being the next pixel's and covered by the alpha; the last is read byte by
// byte so that no read passes the end of the block.
void CopyBgr24Words(QRgb* d, const uchar* s, i64 n) {
  if (n <= 0) return;
  for (i64 i = 0; i < n - 1; ++i) d[i] = kOpaque | plat::GetLe32(s + 3 * i);
  d[n - 1] = Bgr24(s + 3 * (n - 1));
}

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
// Converting a screen-sized picture one pixel at a time takes longer than
// reading its file; a byte shuffle converts sixteen pixels per step. Returns
// the pixels done.
__attribute__((target("ssse3"))) i64 CopyBgr24Shuffled(QRgb* d, const uchar* s, i64 n) {
  const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m128i alpha = _mm_set1_epi32(int(kOpaque));
  i64 i = 0;
  // Each load takes 16 bytes and uses 12: the last one must stay in the row.
  for (; 3 * i + 52 <= 3 * n; i += 16) {
    for (int k = 0; k < 4; ++k) {
      const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3 * i + 12 * k));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 4 * k),
                       _mm_or_si128(_mm_shuffle_epi8(in, spread), alpha));
    }
  }
  return i;
}

void CopyBgr24(QRgb* d, const uchar* s, i64 n) {
  static const bool shuffle = (__builtin_cpu_init(), __builtin_cpu_supports("ssse3"));
  const i64 done = shuffle ? CopyBgr24Shuffled(d, s, n) : 0;
  CopyBgr24Words(d + done, s + 3 * done, n - done);
}
#else
void CopyBgr24(QRgb* d, const uchar* s, i64 n) { CopyBgr24Words(d, s, n); }
#endif

void ToBgr24Bytes(uchar* d, const QRgb* s, i64 n) {
  for (i64 i = 0; i < n; ++i) {
    d[3 * i] = uchar(s[i]), d[3 * i + 1] = uchar(s[i] >> 8), d[3 * i + 2] = uchar(s[i] >> 16);
  }
}

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
// The capture of a screen-sized bitmap, four pixels per shuffle. Each store
// writes 16 bytes and keeps 12, so the last one must stay in the row.
// Returns the pixels done.
__attribute__((target("ssse3"))) i64 ToBgr24Shuffled(uchar* d, const QRgb* s, i64 n) {
  const __m128i pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  i64 i = 0;
  for (; 3 * i + 16 <= 3 * n; i += 4) {
    const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 3 * i), _mm_shuffle_epi8(in, pack));
  }
  return i;
}

void ToBgr24(uchar* d, const QRgb* s, i64 n) {
  static const bool shuffle = (__builtin_cpu_init(), __builtin_cpu_supports("ssse3"));
  const i64 done = shuffle ? ToBgr24Shuffled(d, s, n) : 0;
  ToBgr24Bytes(d + 3 * done, s + done, n - done);
}
#else
void ToBgr24(uchar* d, const QRgb* s, i64 n) { ToBgr24Bytes(d, s, n); }
#endif

void CopyRow(QRgb* d, const uchar* s, i64 n, PixelRows::Format format) {
  switch (format) {
    case PixelRows::kRgb32:
      std::memmove(d, s, std::size_t(n) * sizeof(QRgb));
      break;
    case PixelRows::kBgrx32:
      for (i64 i = 0; i < n; ++i) d[i] = kOpaque | plat::GetLe32(s + 4 * i);
      break;
    case PixelRows::kBgr24:
      CopyBgr24(d, s, n);
      break;
  }
}

// The pixels of a row at the source columns given, -1 for none.
template <PixelRows::Format format>
void SampleRow(QRgb* d, const uchar* s, const std::vector<int>& cols) {
  for (std::size_t i = 0; i < cols.size(); ++i) {
    if (cols[i] < 0) continue;
    if constexpr (format == PixelRows::kBgr24) {
      d[i] = Bgr24(s + 3 * std::size_t(cols[i]));
    } else if constexpr (format == PixelRows::kBgrx32) {
      d[i] = kOpaque | plat::GetLe32(s + 4 * std::size_t(cols[i]));
    } else {
      d[i] = reinterpret_cast<const QRgb*>(s)[cols[i]];
    }
  }
}

}  // namespace

int ToBgr24Rows(const QImage& image, int first, int count, uchar* bits) {
  const int height = image.height(), width = image.width();
  if (image.isNull() || bits == nullptr || first < 0 || count <= 0 || first >= height) return 0;
  count = std::min(count, height - first);
  const qsizetype stride = ((qsizetype(width) * 3 + 3) / 4) * 4;
  for (int line = 0; line < count; ++line) {
    uchar* row = bits + qsizetype(line) * stride;
    const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(height - 1 - first - line));
    ToBgr24(row, src, width);
    std::memset(row + qsizetype(width) * 3, 0, std::size_t(stride - qsizetype(width) * 3));
  }
  return count;
}

PixelRows RowsOf(const QImage& image) {
  PixelRows rows;
  if (image.isNull()) return rows;
  rows.top = image.constBits();
  rows.stride = image.bytesPerLine();
  rows.width = image.width();
  rows.height = image.height();
  return rows;
}

QRect StretchCopy(QImage& dst, i64 x, i64 y, i64 w, i64 h, const PixelRows& src, i64 xs, i64 ys,
                  i64 ws, i64 hs) {
  if (w == 0 || h == 0 || ws == 0 || hs == 0 || dst.isNull() || src.top == nullptr) return {};
  bool flipX = false, flipY = false;
  if (w < 0) x += w, w = -w, flipX = !flipX;
  if (ws < 0) xs += ws, ws = -ws, flipX = !flipX;
  if (h < 0) y += h, h = -h, flipY = !flipY;
  if (hs < 0) ys += hs, hs = -hs, flipY = !flipY;
  const i64 cx0 = std::max<i64>(x, 0), cx1 = std::min<i64>(x + w, dst.width());
  const i64 cy0 = std::max<i64>(y, 0), cy1 = std::min<i64>(y + h, dst.height());
  if (cx0 >= cx1 || cy0 >= cy1) return {};
  // Destination pixel i samples the source at the centre of its footprint.
  auto sample = [](i64 i, i64 n, i64 sn, bool flip) {
    if (flip) i = n - 1 - i;
    return i64((i128(2) * i + 1) * sn / (i128(2) * n));
  };
  const i64 sw = src.width, sh = src.height;
  const int bpp = src.format == PixelRows::kBgr24 ? 3 : 4;
  auto srcRow = [&src](i64 sy) { return src.top + sy * src.stride; };
  uchar* dbits = dst.bits();
  const qsizetype dbpl = dst.bytesPerLine();
  if (!flipX && !flipY && ws == w && hs == h) {
    const i64 from = std::max(cx0, x - xs), to = std::min(cx1, x - xs + sw);
    for (i64 yy = cy0; yy < cy1 && from < to; ++yy) {
      const i64 sy = ys + (yy - y);
      if (sy < 0 || sy >= sh) continue;
      QRgb* drow = reinterpret_cast<QRgb*>(dbits + yy * dbpl);
      CopyRow(drow + from, srcRow(sy) + (xs + from - x) * bpp, to - from, src.format);
    }
    return QRect(int(cx0), int(cy0), int(cx1 - cx0), int(cy1 - cy0));
  }
  std::vector<int> cols(std::size_t(cx1 - cx0));
  for (i64 xx = cx0; xx < cx1; ++xx) {
    const i64 sx = xs + sample(xx - x, w, ws, flipX);
    cols[std::size_t(xx - cx0)] = sx >= 0 && sx < sw ? int(sx) : -1;
  }
  for (i64 yy = cy0; yy < cy1; ++yy) {
    const i64 sy = ys + sample(yy - y, h, hs, flipY);
    if (sy < 0 || sy >= sh) continue;
    QRgb* drow = reinterpret_cast<QRgb*>(dbits + yy * dbpl) + cx0;
    switch (src.format) {
      case PixelRows::kRgb32:
        SampleRow<PixelRows::kRgb32>(drow, srcRow(sy), cols);
        break;
      case PixelRows::kBgrx32:
        SampleRow<PixelRows::kBgrx32>(drow, srcRow(sy), cols);
        break;
      case PixelRows::kBgr24:
        SampleRow<PixelRows::kBgr24>(drow, srcRow(sy), cols);
        break;
    }
  }
  return QRect(int(cx0), int(cy0), int(cx1 - cx0), int(cy1 - cy0));
}

}  // namespace plat::raster
