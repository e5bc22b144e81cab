#include "app/lesson_animate.h"

#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "image/gif_file.h"
#include "image/picture_file.h"
#include "image/video_file.h"
#include "records/replay_timeline.h"

namespace {

// The pointer drawn over the frames: a 12 x 19 arrow, '#' black, '.' white.
constexpr const char* kArrow[] = {"#           ", "##          ", "#.#         ", "#..#        ",
                                  "#...#       ", "#....#      ", "#.....#     ", "#......#    ",
                                  "#.......#   ", "#........#  ", "#.........# ", "#......#####",
                                  "#...#..#    ", "#..# #..#   ", "#.#  #..#   ", "##    #..#  ",
                                  "#     #..#  ", "       #..# ", "        ##  "};
constexpr int kArrowW = 12, kArrowH = 19;

// The board's picture in memory, with the pointer painted over it.
class Frame {
 public:
  Frame(CMemoryBoard& board, bool pointer)
      : m_board(board),
        m_w(board.m_bitmap.Width()),
        m_h(board.m_bitmap.Height()),
        m_pixels(std::size_t(m_w) * m_h),
        m_pointer(pointer) {
    Refresh(RECT{0, 0, m_w, m_h});
  }
  const std::uint32_t* Pixels() const { return m_pixels.data(); }

  // Takes the board's pixels inside rc (whole rows); returns the rectangle
  // that may have changed, the pointer's included.
  RECT Refresh(RECT rc) {
    rc = Clip(rc);
    if (rc.top >= rc.bottom) return rc;
    const RECT marker = HideMarker();
    const int rowBytes = (m_w * 3 + 3) & ~3;
    const int rows = rc.bottom - rc.top;
    m_row.resize(std::size_t(rowBytes) * rows);
    // Scan lines count from the bottom row.
    m_board.m_bitmap.GetDIBits(m_h - rc.bottom, rows, m_row.data());
    for (int i = 0; i < rows; ++i) {
      const std::uint8_t* src = m_row.data() + std::size_t(rows - 1 - i) * rowBytes;
      std::uint32_t* dst = m_pixels.data() + std::size_t(rc.top + i) * m_w;
      for (int x = 0; x < m_w; ++x, src += 3) dst[x] = src[0] | src[1] << 8 | src[2] << 16;
    }
    ShowMarker();
    return Union(Union(RECT{0, rc.top, m_w, rc.bottom}, marker), MarkerRect());
  }
  // Moves the pointer; returns the rectangle that changed.
  RECT MovePointer(POINT pt) {
    const RECT old = HideMarker();
    m_at = pt;
    m_shown = true;
    ShowMarker();
    return Union(old, MarkerRect());
  }

 private:
  RECT Clip(RECT rc) const {
    return RECT{std::clamp<LONG>(rc.left, 0, m_w), std::clamp<LONG>(rc.top, 0, m_h),
                std::clamp<LONG>(rc.right, 0, m_w), std::clamp<LONG>(rc.bottom, 0, m_h)};
  }
  static RECT Union(RECT a, RECT b) {
    if (a.left >= a.right || a.top >= a.bottom) return b;
    if (b.left >= b.right || b.top >= b.bottom) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
  }
  RECT MarkerRect() const {
    if (!m_pointer || !m_shown) return RECT{};
    return Clip(RECT{m_at.x, m_at.y, m_at.x + kArrowW, m_at.y + kArrowH});
  }
  RECT HideMarker() {
    const RECT rc = MarkerRect();
    for (const auto& [index, colour] : m_under) m_pixels[index] = colour;
    m_under.clear();
    return rc;
  }
  void ShowMarker() {
    if (!m_pointer || !m_shown) return;
    for (int dy = 0; dy < kArrowH; ++dy)
      for (int dx = 0; dx < kArrowW; ++dx) {
        const char c = kArrow[dy][dx];
        const long x = long(m_at.x) + dx, y = long(m_at.y) + dy;
        if (c == ' ' || x < 0 || y < 0 || x >= m_w || y >= m_h) continue;
        const std::size_t i = std::size_t(y) * m_w + std::size_t(x);
        m_under.emplace_back(i, m_pixels[i]);
        m_pixels[i] = c == '#' ? 0x000000 : 0xFFFFFF;
      }
  }

  CMemoryBoard& m_board;
  int m_w, m_h;
  std::vector<std::uint32_t> m_pixels;
  std::vector<std::uint8_t> m_row;
  bool m_pointer;
  bool m_shown = false;
  POINT m_at{};
  std::vector<std::pair<std::size_t, std::uint32_t>> m_under;
};

// Where the frames go: a GIF takes each change with its time, a video a
// frame for every tick.
class Sink {
 public:
  virtual ~Sink() = default;
  // The frame shown until now lasts until atMs.
  virtual bool Hold(std::uint64_t) { return true; }
  // The frame changed inside rc at atMs.
  virtual bool Show(const Frame& frame, RECT rc, std::uint64_t atMs) = 0;
  virtual bool Finish(const Frame& frame, std::uint64_t endMs, std::string* error) = 0;
  virtual std::int64_t Frames() const = 0;
};

class GifSink : public Sink {
 public:
  bool Open(const std::string& path, int w, int h, std::string* error) {
    return m_gif.Open(path, w, h, error);
  }
  bool Show(const Frame& frame, RECT rc, std::uint64_t atMs) override {
    return m_gif.AddFrame(frame.Pixels(), rc, atMs);
  }
  bool Finish(const Frame&, std::uint64_t endMs, std::string* error) override {
    return m_gif.Close(endMs, error);
  }
  std::int64_t Frames() const override { return m_gif.FramesWritten(); }

 private:
  CGifWriter m_gif;
};

class VideoSink : public Sink {
 public:
  bool Open(const std::string& path, int w, int h, std::string* error) {
    return m_video.Open(path, w, h, int(1000 / kReplayTickMs), error);
  }
  void Attach(const Frame& frame) { m_frame = &frame; }
  // Every tick before atMs shows the picture as it was.
  bool Hold(std::uint64_t atMs) override {
    while (m_next * kReplayTickMs < atMs)
      if (!m_video.AddFrame(m_frame->Pixels()))
        return false;
      else
        ++m_next;
    return true;
  }
  bool Show(const Frame&, RECT, std::uint64_t) override { return true; }
  bool Finish(const Frame&, std::uint64_t endMs, std::string* error) override {
    // The tick at the end shows the last picture too.
    const bool held = Hold(endMs + 1);
    if (!m_video.Close(error)) return false;
    if (!held) *error = "the video encoder stopped reading";
    return held;
  }
  std::int64_t Frames() const override { return m_video.FramesWritten(); }

 private:
  CVideoWriter m_video;
  const Frame* m_frame = nullptr;
  std::uint64_t m_next = 0;
};

class Progress {
 public:
  Progress(bool on, int total) : m_on(on && total > 0 && ::isatty(STDERR_FILENO)), m_total(total) {}
  void Record(int done) {
    if (!m_on) return;
    const int percent = int(std::int64_t(done) * 100 / m_total);
    if (percent == m_percent && done != m_total) return;
    m_percent = percent;
    const int filled = percent * 30 / 100;
    std::fprintf(stderr, "\r[%.*s%*s] %3d%% %d/%d records", filled,
                 "##############################", 30 - filled, "", percent, done, m_total);
    if (done == m_total) std::fputc('\n', stderr);
    std::fflush(stderr);
  }

 private:
  bool m_on;
  int m_total;
  int m_percent = -1;
};

}  // namespace

bool ExportAnimation(const datafile::PointerData& lesson, const AnimateOptions& options,
                     const std::string& gbkPath, std::string* error, AnimateResult* result) {
  const RenderOptions& ro = options.render;
  const bool gif = ::strcasecmp(PictureExtension(gbkPath).c_str(), ".gif") == 0;
  if (!gif && VideoFormatOf(gbkPath) == VideoFormat::kNone) {
    *error = "an animation is written as .gif, .mp4 or .webm";
    return false;
  }
  CMemoryBoard board(ro.width, ro.height);
  if (!PrepareBoard(lesson, ro, board, error)) return false;
  board.m_nReplayDelay = int(options.delayMs);

  GifSink gifSink;
  VideoSink videoSink;
  Sink* sink = gif ? static_cast<Sink*>(&gifSink) : &videoSink;
  if (gif ? !gifSink.Open(gbkPath, ro.width, ro.height, error)
          : !videoSink.Open(gbkPath, ro.width, ro.height, error))
    return false;

  Frame frame(board, options.drawPointer);
  videoSink.Attach(frame);
  const std::vector<ReplayStep> timeline = PlayTimeline(g_records, board.m_nCount, options.delayMs);
  Progress progress(options.progress, board.m_nCount);
  // The replay starts from the default style on the bare background.
  board.ResetStyle(false);
  std::unique_ptr<CDC> dc = board.GetBoardDC();
  dc->TakeDirtyRect();
  bool ok = sink->Show(frame, RECT{0, 0, ro.width, ro.height}, 0);
  for (const ReplayStep& s : timeline) {
    if (!ok) break;
    if (s.kind == ReplayStep::kDraw) {
      ok = sink->Hold(s.atMs);
      board.ReplayRecord(*dc, g_records[s.record]);
      // A record that drew nothing still takes its frame in a GIF.
      ok = ok && sink->Show(frame, frame.Refresh(dc->TakeDirtyRect()), s.atMs);
    } else if (s.kind == ReplayStep::kMove && options.drawPointer) {
      ok = sink->Hold(s.atMs) && sink->Show(frame, frame.MovePointer(s.pointer), s.atMs);
    } else if (s.kind == ReplayStep::kEnd) {
      progress.Record(s.record + 1);
    }
  }
  const std::uint64_t end = timeline.empty() ? 0 : timeline.back().atMs;
  std::string finishError;
  const bool finished = sink->Finish(frame, end, &finishError);
  if (!ok && error->empty())
    *error =
        "cannot write the animation" + (finishError.empty() ? std::string() : ": " + finishError);
  else if (!finished)
    *error = finishError;
  if (result) *result = AnimateResult{sink->Frames(), end};
  return ok && finished;
}
