#include <QtGui/qguiapplication_platform.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>

#include <QGuiApplication>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>

#include "platform/surface_qt.h"
#include "platform/x11_qt.h"

// X11 last: its macros would clash with Qt's names.
#include <X11/Xlib.h>

namespace plat::x11 {
namespace {
// Rows per request: small replies reuse warm heap memory instead of making
// the client fault in one screen-sized reply buffer.
constexpr std::size_t kStripeBytes = std::size_t(512) << 10;
constexpr int kInFlight = 3;

// Large puts go through one shared-memory segment the server reads itself:
// a screen image through the socket takes tens of milliseconds, through the
// segment a few. Its pages cost a fault each on both sides the first time,
// more than the socket, so the first large put (the board shown at start-up)
// goes through the socket and the segment is made a little later, when the
// program is idle.
constexpr std::size_t kStageMinBytes = std::size_t(1) << 20;
constexpr int kStageDelayMs = 500;

class ShmStage {
 public:
  ~ShmStage() { Release(); }

  // Room for bytes in the segment, or nullptr when there is none that large.
  std::uint8_t* Reserve(xcb_connection_t* c, std::size_t bytes) {
    if (!m_addr || bytes > m_size || c != m_c) return nullptr;
    if (m_inFlight) {
      // The server may still be reading the previous put.
      std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
      m_inFlight = false;
    }
    return m_addr;
  }
  xcb_shm_seg_t Segment() const { return m_seg; }
  bool Ready() const { return m_addr != nullptr; }
  void Sent() { m_inFlight = true; }

  void PrepareLater(std::size_t bytes) {
    if (m_failed || m_scheduled || bytes <= m_size) return;
    m_scheduled = true;
    QTimer::singleShot(kStageDelayMs, qGuiApp, [this, bytes] {
      m_scheduled = false;
      Prepare(Connection(), bytes);
    });
  }

 private:
  void Prepare(xcb_connection_t* c, std::size_t bytes) {
    if (!c || m_failed) return;
    auto* version = xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr);
    const bool present = version != nullptr;
    std::free(version);
    Release();
    const int id = present ? shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600) : -1;
    void* addr = id >= 0 ? shmat(id, nullptr, 0) : reinterpret_cast<void*>(-1);
    if (addr == reinterpret_cast<void*>(-1)) {
      if (id >= 0) shmctl(id, IPC_RMID, nullptr);
      m_failed = true;  // no shared memory here (a remote display): the socket serves
      return;
    }
    const xcb_shm_seg_t seg = xcb_generate_id(c);
    xcb_generic_error_t* error = xcb_request_check(c, xcb_shm_attach_checked(c, seg, id, 0));
    shmctl(id, IPC_RMID, nullptr);  // gone once both sides let go
    if (error) {
      std::free(error);
      shmdt(addr);
      m_failed = true;
      return;
    }
    std::memset(addr, 0, bytes);
    m_c = c, m_seg = seg, m_addr = static_cast<std::uint8_t*>(addr), m_size = bytes;
  }

  void Release() {
    if (!m_addr) return;
    if (m_c == Connection()) xcb_shm_detach(m_c, m_seg);
    shmdt(m_addr);
    m_addr = nullptr;
    m_size = 0;
    m_inFlight = false;
  }

  xcb_connection_t* m_c = nullptr;
  xcb_shm_seg_t m_seg = 0;
  std::uint8_t* m_addr = nullptr;
  std::size_t m_size = 0;
  bool m_inFlight = false, m_scheduled = false, m_failed = false;
};

ShmStage g_stage;

// Copies rows [y, y + rows) of the part r of image into to, packed.
void PackRows(std::uint8_t* to, const QImage& image, const QRect& r, int y, int rows) {
  const std::size_t rowBytes = std::size_t(r.width()) * 4;
  for (int i = 0; i < rows; ++i)
    std::memcpy(to + rowBytes * i, image.constScanLine(y + i) + std::size_t(r.x()) * 4, rowBytes);
}

}  // namespace

xcb_connection_t* Connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

xcb_screen_t* Screen(xcb_connection_t* c) {
  return c ? xcb_setup_roots_iterator(xcb_get_setup(c)).data : nullptr;
}

bool SharesRgb32Layout(xcb_connection_t* c, const xcb_screen_t* s) {
  if (!c || !s || (s->root_depth != 24 && s->root_depth != 32)) return false;
  const xcb_setup_t* setup = xcb_get_setup(c);
  if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
  bool pixels32 = false;
  for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
    if (f.data->depth == s->root_depth) pixels32 = f.data->bits_per_pixel == 32;
  if (!pixels32) return false;
  for (auto d = xcb_screen_allowed_depths_iterator(s); d.rem; xcb_depth_next(&d)) {
    for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
      if (v.data->visual_id != s->root_visual) continue;
      return v.data->red_mask == 0xFF0000 && v.data->green_mask == 0xFF00 &&
             v.data->blue_mask == 0xFF;
    }
  }
  return false;
}

QImage GrabScreen(const QRect& rect) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->display()) return QImage();
  // The screen as we left it: what was asked on Qt's connection (a dialog
  // unmapped, a picture put) is done before the other connection reads.
  if (xcb_connection_t* own = x11->connection())
    std::free(xcb_get_input_focus_reply(own, xcb_get_input_focus(own), nullptr));
  // A connection of its own: replies read through Qt's connection pass its
  // event reader thread and arrive several times slower.
  xcb_connection_t* c = xcb_connect(DisplayString(x11->display()), nullptr);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    return QImage();
  }
  QImage image = GrabScreen(c, rect);
  xcb_disconnect(c);
  return image;
}

QImage GrabScreen(xcb_connection_t* c, const QRect& rect) {
  xcb_screen_t* s = Screen(c);
  if (!SharesRgb32Layout(c, s)) return QImage();
  const QRect r = rect & QRect(0, 0, s->width_in_pixels, s->height_in_pixels);
  if (r.isEmpty()) return QImage();
  QImage image = NewImage(r.width(), r.height());
  if (image.isNull()) return image;
  const std::size_t rowBytes = std::size_t(r.width()) * 4;
  const int rows = int(std::max<std::size_t>(1, kStripeBytes / rowBytes));
  std::deque<std::pair<int, xcb_get_image_cookie_t>> pending;
  int next = 0;
  bool ok = true;
  while (ok && (next < r.height() || !pending.empty())) {
    while (next < r.height() && int(pending.size()) < kInFlight) {
      const int h = std::min(rows, r.height() - next);
      pending.emplace_back(next, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, s->root, r.x(),
                                               r.y() + next, r.width(), h, ~0u));
      next += h;
    }
    const auto [y, cookie] = pending.front();
    pending.pop_front();
    xcb_get_image_reply_t* reply = xcb_get_image_reply(c, cookie, nullptr);
    const int h = std::min(rows, r.height() - y);
    if (!reply || std::size_t(xcb_get_image_data_length(reply)) < rowBytes * std::size_t(h)) {
      ok = false;
    } else {
      const std::uint8_t* data = xcb_get_image_data(reply);
      for (int i = 0; i < h; ++i) std::memcpy(image.scanLine(y + i), data + rowBytes * i, rowBytes);
    }
    std::free(reply);
  }
  // Replies still owed are read and dropped so the connection stays in step.
  for (auto& [y, cookie] : pending) std::free(xcb_get_image_reply(c, cookie, nullptr));
  return ok ? image : QImage();
}

bool SharedMemoryPuts() { return g_stage.Ready(); }

void PutImage(xcb_window_t window, const QImage& image, const QRect& src, const QPoint& dst) {
  xcb_connection_t* c = Connection();
  xcb_screen_t* s = Screen(c);
  const QRect r = src & image.rect();
  if (!s || r.isEmpty()) return;
  static xcb_gcontext_t gc = 0;  // one context serves every window of the screen's depth
  if (gc == 0) {
    gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, s->root, 0, nullptr);
  }
  const std::size_t rowBytes = std::size_t(r.width()) * 4;
  const std::size_t bytes = rowBytes * std::size_t(r.height());
  if (bytes >= kStageMinBytes) {
    if (std::uint8_t* stage = g_stage.Reserve(c, bytes)) {
      PackRows(stage, image, r, r.y(), r.height());
      xcb_shm_put_image(c, window, gc, std::uint16_t(r.width()), std::uint16_t(r.height()), 0, 0,
                        std::uint16_t(r.width()), std::uint16_t(r.height()), std::int16_t(dst.x()),
                        std::int16_t(dst.y()), s->root_depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0,
                        g_stage.Segment(), 0);
      g_stage.Sent();
      xcb_flush(c);
      return;
    }
    g_stage.PrepareLater(bytes);
  }
  const std::size_t maxBytes = std::min<std::size_t>(
      kStripeBytes * 8, std::size_t(xcb_get_maximum_request_length(c)) * 4 - 64);
  const int rows = int(std::max<std::size_t>(1, maxBytes / rowBytes));
  // Rows of a part narrower than the image are not contiguous: gather them.
  const bool contiguous = r.width() == image.width();
  std::vector<std::uint8_t> gathered;
  for (int y = r.top(); y <= r.bottom(); y += rows) {
    const int h = std::min(rows, r.bottom() + 1 - y);
    const std::uint8_t* data = image.constScanLine(y) + std::size_t(r.x()) * 4;
    if (!contiguous) {
      gathered.resize(rowBytes * std::size_t(h));
      PackRows(gathered.data(), image, r, y, h);
      data = gathered.data();
    }
    xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, gc, std::uint16_t(r.width()),
                  std::uint16_t(h), std::int16_t(dst.x()), std::int16_t(dst.y() + (y - r.top())), 0,
                  s->root_depth, std::uint32_t(rowBytes * std::size_t(h)), data);
  }
  xcb_flush(c);
}

}  // namespace plat::x11
