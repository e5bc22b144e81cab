// Device-pixel pointer positions of mouse events on X. On a scaled desktop
// Qt hands widgets logical positions rounded to whole logical pixels, so a
// 2:1 desktop would reach only every other board pixel; the X events carry
// the exact position, which is remembered here by event time.
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/x11_qt.h"

namespace plat::x11 {
namespace {

constexpr int kXiButtonPress = 4, kXiButtonRelease = 5, kXiMotion = 6;

struct Seen {
  std::uint32_t time = 0;
  QPoint root;
  bool used = false;
};

class PointerTracker : public QAbstractNativeEventFilter {
 public:
  explicit PointerTracker(xcb_connection_t* c) {
    xcb_query_extension_reply_t* r =
        xcb_query_extension_reply(c, xcb_query_extension(c, 15, "XInputExtension"), nullptr);
    if (r && r->present) m_xiOpcode = r->major_opcode;
    free(r);
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* ev = static_cast<const std::uint8_t*>(message);
    const int kind = ev[0] & 0x7F;
    if (kind == XCB_BUTTON_PRESS || kind == XCB_BUTTON_RELEASE || kind == XCB_MOTION_NOTIFY) {
      const auto* b = reinterpret_cast<const xcb_button_press_event_t*>(ev);
      Remember(b->time, QPoint(b->root_x, b->root_y));
    } else if (kind == XCB_GE_GENERIC && m_xiOpcode >= 0 && ev[1] == m_xiOpcode) {
      // A device event as xcb stores it: the wire event with the full
      // sequence number put in at byte 32, so the root position (16.16
      // fixed point) is at 36 and 40.
      std::uint16_t evtype;
      std::memcpy(&evtype, ev + 8, 2);
      if (evtype != kXiButtonPress && evtype != kXiButtonRelease && evtype != kXiMotion)
        return false;
      std::uint32_t time;
      std::int32_t rx, ry;
      std::memcpy(&time, ev + 12, 4);
      std::memcpy(&rx, ev + 36, 4);
      std::memcpy(&ry, ev + 40, 4);
      Remember(time, QPoint(rx >> 16, ry >> 16));
    }
    return false;
  }

  // The latest event of that time.
  std::optional<QPoint> At(std::uint32_t time) const {
    for (std::size_t i = 1; i <= m_seen.size(); ++i) {
      const Seen& s = m_seen[(m_next + m_seen.size() - i) % m_seen.size()];
      if (s.used && s.time == time) return s.root;
    }
    return std::nullopt;
  }

 private:
  void Remember(std::uint32_t time, const QPoint& root) {
    m_seen[m_next] = Seen{time, root, true};
    m_next = (m_next + 1) % m_seen.size();
  }

  int m_xiOpcode = -1;
  std::array<Seen, 64> m_seen{};
  std::size_t m_next = 0;
};

PointerTracker* g_tracker = nullptr;

}  // namespace

void TrackPointerPositions() {
  if (g_tracker || !QCoreApplication::instance()) return;
  xcb_connection_t* c = Connection();
  if (!c) return;
  g_tracker = new PointerTracker(c);
  QCoreApplication::instance()->installNativeEventFilter(g_tracker);
}

std::optional<QPoint> PointerRootAt(unsigned long time) {
  if (!g_tracker) return std::nullopt;
  return g_tracker->At(std::uint32_t(time));
}

}  // namespace plat::x11
