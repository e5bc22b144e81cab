#include "image/gif_file.h"

#include <gif_lib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_map>

#include "image/image_file.h"
#include "platform/files.h"

struct CGifWriter::File {
  plat::FileReplacement replacement;
  CImageFile out;
  GifFileType* gif = nullptr;
  bool failed = false;
};

struct CGifWriter::Staged {
  RECT rect{};
  std::vector<GifColorType> colours;
  std::vector<GifByteType> indices;  // rect's rows
  std::uint64_t atMs = 0;
};

namespace {

int WriteToFile(GifFileType* gif, const GifByteType* bytes, int size) {
  auto* file = static_cast<CImageFile*>(gif->UserData);
  return file && file->Write(bytes, std::size_t(size)) ? size : 0;
}

GifColorType Colour(std::uint32_t rgb) {
  return {GifByteType(rgb >> 16), GifByteType(rgb >> 8), GifByteType(rgb)};
}

// The colour cube index of a colour: 3 bits red, 3 green, 2 blue.
GifByteType CubeIndex(std::uint32_t rgb) {
  return GifByteType(((rgb >> 16) & 0xE0) | (((rgb >> 8) & 0xE0) >> 3) | ((rgb & 0xC0) >> 6));
}

}  // namespace

CGifWriter::CGifWriter() = default;

CGifWriter::~CGifWriter() {
  if (m_file && m_file->gif) EGifCloseFile(m_file->gif, nullptr);
}

bool CGifWriter::Open(const std::string& gbkPath, int width, int height, std::string* error) {
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535) {
    *error = "a GIF picture is at most 65535 x 65535 pixels";
    return false;
  }
  m_file = std::make_unique<File>();
  if (!m_file->replacement.Begin(gbkPath) ||
      !m_file->out.Open(m_file->replacement.TempPath(),
                        CImageFile::modeCreate | CImageFile::modeWrite)) {
    *error = std::string("cannot create the file: ") + std::strerror(errno);
    m_file.reset();
    return false;
  }
  int gifError = 0;
  m_file->gif = EGifOpen(&m_file->out, WriteToFile, &gifError);
  if (!m_file->gif || EGifPutScreenDesc(m_file->gif, width, height, 8, 0, nullptr) == GIF_ERROR) {
    *error = std::string("GIF encoder: ") + GifErrorString(gifError);
    return false;
  }
  EGifSetGifVersion(m_file->gif, true);
  m_width = width, m_height = height;
  m_previous.assign(std::size_t(width) * height, 0xFF000000u);  // matches no picture
  return true;
}

bool CGifWriter::AddFrame(const std::uint32_t* pixels, RECT changed, std::uint64_t atMs) {
  if (!m_file || !m_file->gif || m_file->failed) return false;
  if (m_staged && !WriteStaged(atMs)) return false;
  // The rectangle that really differs, inside the one the caller names.
  const int l0 = std::clamp<int>(changed.left, 0, m_width);
  const int r0 = std::clamp<int>(changed.right, l0, m_width);
  const int t0 = std::clamp<int>(changed.top, 0, m_height);
  const int b0 = std::clamp<int>(changed.bottom, t0, m_height);
  int l = r0, t = b0, r = l0, b = t0;
  for (int y = t0; y < b0; ++y) {
    const std::uint32_t* row = pixels + std::size_t(y) * m_width;
    const std::uint32_t* old = m_previous.data() + std::size_t(y) * m_width;
    int x = l0;
    while (x < r0 && (row[x] & 0xFFFFFF) == old[x]) ++x;
    if (x == r0) continue;
    int xr = r0 - 1;
    while ((row[xr] & 0xFFFFFF) == old[xr]) --xr;
    l = std::min(l, x), r = std::max(r, xr + 1);
    t = std::min(t, y), b = y + 1;
  }
  auto staged = std::make_unique<Staged>();
  staged->atMs = atMs;
  // An unchanged picture still takes a frame, of one pixel as it was.
  if (l >= r) l = 0, t = 0, r = 1, b = 1;
  staged->rect = RECT{l, t, r, b};
  const int w = r - l, h = b - t;
  staged->indices.resize(std::size_t(w) * h);
  std::unordered_map<std::uint32_t, GifByteType> index;
  bool cube = false;
  for (int y = t; y < b && !cube; ++y)
    for (int x = l; x < r; ++x) {
      const std::uint32_t c = pixels[std::size_t(y) * m_width + x] & 0xFFFFFF;
      auto [it, added] = index.try_emplace(c, GifByteType(index.size()));
      if (added && index.size() > 256) {
        cube = true;
        break;
      }
      staged->indices[std::size_t(y - t) * w + (x - l)] = it->second;
    }
  if (cube) {
    staged->colours.resize(256);
    for (int i = 0; i < 256; ++i)
      staged->colours[i] = {GifByteType((i & 0xE0) * 255 / 0xE0),
                            GifByteType(((i << 3) & 0xE0) * 255 / 0xE0),
                            GifByteType(((i << 6) & 0xC0) * 255 / 0xC0)};
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x)
        staged->indices[std::size_t(y - t) * w + (x - l)] =
            CubeIndex(pixels[std::size_t(y) * m_width + x]);
  } else {
    staged->colours.resize(index.size());
    for (const auto& [c, i] : index) staged->colours[i] = Colour(c);
  }
  // The true colours are remembered: a pixel shown in a cube colour is sent
  // again only when the picture changes there.
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x)
      m_previous[std::size_t(y) * m_width + x] = pixels[std::size_t(y) * m_width + x] & 0xFFFFFF;
  m_staged = std::move(staged);
  return true;
}

bool CGifWriter::WriteStaged(std::uint64_t untilMs) {
  Staged& s = *m_staged;
  // Delays are rounded on the running total, so long plays do not drift.
  const std::uint64_t endCs = std::max((untilMs + 5) / 10, m_shownCs);
  const int delay = int(std::min<std::uint64_t>(endCs - m_shownCs, 65535));
  m_shownCs += std::uint64_t(delay);
  GraphicsControlBlock gcb{};
  gcb.DisposalMode = DISPOSE_DO_NOT;
  gcb.DelayTime = delay;
  gcb.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType ext[4];
  EGifGCBToExtension(&gcb, ext);
  // A colour map has a power of two entries, at least two.
  int size = 2;
  while (size < int(s.colours.size())) size *= 2;
  s.colours.resize(std::size_t(size), GifColorType{0, 0, 0});
  ColorMapObject* map = GifMakeMapObject(size, s.colours.data());
  const int w = s.rect.right - s.rect.left, h = s.rect.bottom - s.rect.top;
  bool ok = map && EGifPutExtension(m_file->gif, GRAPHICS_EXT_FUNC_CODE, 4, ext) != GIF_ERROR &&
            EGifPutImageDesc(m_file->gif, s.rect.left, s.rect.top, w, h, false, map) != GIF_ERROR;
  for (int y = 0; ok && y < h; ++y)
    ok = EGifPutLine(m_file->gif, s.indices.data() + std::size_t(y) * w, w) != GIF_ERROR;
  GifFreeMapObject(map);
  m_staged.reset();
  if (!ok) m_file->failed = true;
  m_frames += ok;
  return ok;
}

bool CGifWriter::Close(std::uint64_t endMs, std::string* error) {
  if (!m_file || !m_file->gif) return false;
  bool ok = !m_file->failed;
  if (ok && m_staged) ok = WriteStaged(std::max(endMs, m_staged->atMs + 10));
  int gifError = 0;
  ok = EGifCloseFile(m_file->gif, &gifError) != GIF_ERROR && ok;
  m_file->gif = nullptr;
  ok = m_file->out.Close() && ok;
  if (ok) ok = m_file->replacement.Commit();
  if (!ok) *error = std::string("cannot write the GIF file: ") + std::strerror(errno ? errno : EIO);
  m_file.reset();
  return ok;
}
