// Keyboard state and the mapping between the platform's virtual keys and Qt's.
#include <QGuiApplication>

#include "platform/wnd_widget_qt.h"

namespace {
// Modifiers of the input event being dispatched; outside any dispatch the
// live keyboard state is asked.
bool g_inDispatch = false;
Qt::KeyboardModifiers g_dispatchMods;

constexpr int VK_BACK = 0x08, VK_TAB = 0x09, VK_END = 0x23, VK_HOME = 0x24, VK_UP = 0x26,
              VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_F1 = 0x70, VK_LBUTTON = 0x01,
              VK_RBUTTON = 0x02, VK_MBUTTON = 0x04;

struct KeyPair {
  int qt, vk;
};
const KeyPair kKeys[] = {
    {Qt::Key_Escape, VK_ESCAPE},  {Qt::Key_Return, VK_RETURN},     {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},           {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},   {Qt::Key_PageDown, VK_NEXT},     {Qt::Key_End, VK_END},
    {Qt::Key_Home, VK_HOME},      {Qt::Key_Left, VK_LEFT},         {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},    {Qt::Key_Down, VK_DOWN},         {Qt::Key_Insert, VK_INSERT},
    {Qt::Key_Delete, VK_DELETE},  {Qt::Key_Shift, VK_SHIFT},       {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},       {Qt::Key_Period, VK_OEM_PERIOD},
};
}  // namespace

namespace plat {

ScopedKeyState::ScopedKeyState(Qt::KeyboardModifiers mods)
    : m_had(g_inDispatch), m_prev(g_dispatchMods) {
  g_inDispatch = true;
  g_dispatchMods = mods;
}

ScopedKeyState::~ScopedKeyState() {
  g_inDispatch = m_had;
  g_dispatchMods = m_prev;
}

int VkFromQtKey(int key) {
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
    return key;  // the platform's letter and digit keys share the ASCII codes
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
  for (const KeyPair& k : kKeys)
    if (k.qt == key) return k.vk;
  return 0;
}

}  // namespace plat

short GetKeyState(int vk) {
  const Qt::KeyboardModifiers mods =
      g_inDispatch ? g_dispatchMods : QGuiApplication::queryKeyboardModifiers();
  bool down = false;
  switch (vk) {
    case VK_SHIFT:
      down = mods & Qt::ShiftModifier;
      break;
    case VK_CONTROL:
      down = mods & Qt::ControlModifier;
      break;
    case VK_MENU:
      down = mods & Qt::AltModifier;
      break;
    case VK_LBUTTON:
      down = QGuiApplication::mouseButtons() & Qt::LeftButton;
      break;
    case VK_RBUTTON:
      down = QGuiApplication::mouseButtons() & Qt::RightButton;
      break;
    case VK_MBUTTON:
      down = QGuiApplication::mouseButtons() & Qt::MiddleButton;
      break;
    default:
      break;
  }
  return down ? short(0x8000) : short(0);
}
