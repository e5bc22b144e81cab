// Global hot keys: passive key grabs on the root window through Qt's own X
// connection, so the key events arrive in Qt's event stream.
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <cstdlib>
#include <vector>

#include "platform/wnd.h"
#include "platform/wnd_widget_qt.h"
#include "platform/x11_qt.h"

namespace {

// A grab names the exact modifier state, so the key is grabbed once more for
// every combination of the locks that may be on.
constexpr std::uint16_t kLockVariants[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                           XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr std::uint16_t kRelevantMods =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

struct HotKey {
  CWnd* owner;
  int id;
  UINT modifiers, vk;
  xcb_keycode_t keycode;
  std::uint16_t mods;
  bool hadWindow;            // the owner's window existed at registration
  QPointer<QWidget> widget;  // and is still there when the key arrives
};

std::vector<xcb_window_t> Roots(xcb_connection_t* c) {
  std::vector<xcb_window_t> roots;
  for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem; xcb_screen_next(&it)) {
    roots.push_back(it.data->root);
  }
  return roots;
}

// The key symbol of a virtual key: digits, letters and F1 to F12.
std::uint32_t KeySym(UINT vk) {
  if (vk >= '0' && vk <= '9') return vk;                      // XK_0..XK_9
  if (vk >= 'A' && vk <= 'Z') return vk - 'A' + 'a';          // XK_a..XK_z
  if (vk >= 0x70 && vk <= 0x7B) return 0xFFBE + (vk - 0x70);  // XK_F1..XK_F12
  return 0;
}

xcb_keycode_t KeyCode(xcb_connection_t* c, std::uint32_t keysym) {
  const xcb_setup_t* setup = xcb_get_setup(c);
  const int first = setup->min_keycode, count = setup->max_keycode - setup->min_keycode + 1;
  xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
      c, xcb_get_keyboard_mapping(c, setup->min_keycode, std::uint8_t(count)), nullptr);
  if (!reply) return 0;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
  const int perCode = reply->keysyms_per_keycode;
  xcb_keycode_t code = 0;
  for (int k = 0; k < count && !code; ++k) {
    for (int j = 0; j < perCode; ++j) {
      if (syms[k * perCode + j] == keysym) {
        code = xcb_keycode_t(first + k);
        break;
      }
    }
  }
  std::free(reply);
  return code;
}

void Ungrab(xcb_connection_t* c, xcb_keycode_t code, std::uint16_t mods, std::size_t variants) {
  for (xcb_window_t root : Roots(c)) {
    for (std::size_t i = 0; i < variants; ++i) {
      xcb_ungrab_key(c, code, root, mods | kLockVariants[i]);
    }
  }
  xcb_flush(c);
}

class HotKeys : public QObject, public QAbstractNativeEventFilter {
 public:
  std::vector<HotKey> keys;

  void EnsureFilter() {
    if (m_installed) return;
    QCoreApplication::instance()->installNativeEventFilter(this);
    m_installed = true;
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* ev = static_cast<const xcb_generic_event_t*>(message);
    const int kind = ev->response_type & 0x7F;
    if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE) return false;
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(ev);
    for (const HotKey& hk : keys) {
      if (hk.keycode != key->detail || (key->state & kRelevantMods) != hk.mods) continue;
      if (kind == XCB_KEY_PRESS) Deliver(hk);
      return true;  // the hot key's keys are not typed into any window
    }
    return false;
  }

 private:
  // Posted, so the owner's handler runs from the event loop and may show
  // windows or pause without re-entering the native event dispatch.
  void Deliver(const HotKey& hk) {
    QMetaObject::invokeMethod(
        this,
        [this, owner = hk.owner, id = hk.id] {
          for (const HotKey& k : keys) {
            if (k.owner == owner && k.id == id) {
              // An owner whose window is gone gets nothing.
              if (!k.hadWindow || (k.widget && plat::WndFromWidget(k.widget) == owner)) {
                owner->OnHotKey(UINT(id), k.modifiers, k.vk);
              }
              return;
            }
          }
        },
        Qt::QueuedConnection);
  }

  bool m_installed = false;
};

HotKeys& Table() {
  static HotKeys* table = new HotKeys;  // lives with the process
  return *table;
}

}  // namespace

bool RegisterHotKey(CWnd* owner, int id, UINT modifiers, UINT vk) {
  xcb_connection_t* c = plat::x11::Connection();
  if (!owner || !c) return false;
  std::uint16_t mods = 0;
  if (modifiers & ~(MOD_ALT | MOD_CONTROL | MOD_SHIFT)) return false;
  if (modifiers & MOD_ALT) mods |= XCB_MOD_MASK_1;
  if (modifiers & MOD_CONTROL) mods |= XCB_MOD_MASK_CONTROL;
  if (modifiers & MOD_SHIFT) mods |= XCB_MOD_MASK_SHIFT;
  const std::uint32_t keysym = KeySym(vk);
  const xcb_keycode_t code = keysym ? KeyCode(c, keysym) : 0;
  if (!code) return false;

  HotKeys& table = Table();
  for (const HotKey& hk : table.keys) {
    if (hk.keycode == code && hk.mods == mods) return false;  // already ours
  }
  UnregisterHotKey(owner, id);

  // Checked grabs: BadAccess means another client holds the key; what was
  // grabbed up to then is released again.
  const std::vector<xcb_window_t> roots = Roots(c);
  for (xcb_window_t root : roots) {
    for (std::size_t i = 0; i < std::size(kLockVariants); ++i) {
      xcb_generic_error_t* error =
          xcb_request_check(c, xcb_grab_key_checked(c, 1, root, mods | kLockVariants[i], code,
                                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
      if (error) {
        std::free(error);
        Ungrab(c, code, mods, std::size(kLockVariants));
        return false;
      }
    }
  }
  table.EnsureFilter();
  QWidget* window = owner->IsCreated() ? owner->GetWidget() : nullptr;
  table.keys.push_back({owner, id, modifiers, vk, code, mods, window != nullptr, window});
  return true;
}

bool UnregisterHotKey(CWnd* owner, int id) {
  HotKeys& table = Table();
  for (auto it = table.keys.begin(); it != table.keys.end(); ++it) {
    if (it->owner != owner || it->id != id) continue;
    if (xcb_connection_t* c = plat::x11::Connection()) {
      Ungrab(c, it->keycode, it->mods, std::size(kLockVariants));
    }
    table.keys.erase(it);
    return true;
  }
  return false;
}
