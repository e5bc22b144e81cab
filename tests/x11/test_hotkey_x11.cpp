#include <gtest/gtest.h>

#include <string>

#include "platform/wnd.h"

// Xlib after everything else.
#include "tests/x11/x11_test_util.h"

using x11test::Shell;
using x11test::WaitFor;

namespace {

class HotKeyOwner : public CWnd {
 public:
  long OnHotKey(UINT id, UINT modifiers, UINT vk) override {
    calls.push_back({id, modifiers, vk});
    return 1;
  }
  struct Call {
    UINT id, modifiers, vk;
  };
  std::vector<Call> calls;
};

constexpr int HOTKEY_ACTIVATE = 2001;

class HotKey : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(owner.CreateEx(0, WS_POPUP, "frame", nullptr, CRect(0, 0, 50, 50), 0));
  }
  void TearDown() override {
    UnregisterHotKey(&owner, HOTKEY_ACTIVATE);
    QCoreApplication::processEvents();
  }
  // Grabs Alt+1 with the given extra modifiers from another connection, as
  // another program holding the key would; the X error code (0: granted).
  int GrabElsewhere(x11test::Connection& x, unsigned extraMods) {
    const KeyCode code = XKeysymToKeycode(x.get(), XK_1);
    return x.ErrorOf([&] {
      XGrabKey(x.get(), code, Mod1Mask | extraMods, x.root(), True, GrabModeAsync, GrabModeAsync);
    });
  }
  HotKeyOwner owner;
};

TEST_F(HotKey, AltOneIsDeliveredToTheOwnerWithItsIdentifierWhicheverLocksAreOn) {
  ASSERT_TRUE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, MOD_ALT, '1'));
  // Each sequence holds one Alt+1; 1, Alt+2 and Ctrl+Alt+1 are other keys.
  const char* sequences[] = {"1 alt+2 alt+1", "ctrl+alt+1 alt+1", "Num_Lock alt+1 Num_Lock",
                             "Caps_Lock alt+1 Caps_Lock",
                             "Num_Lock Caps_Lock alt+1 Caps_Lock Num_Lock"};
  std::size_t expected = 0;
  for (const char* keys : sequences) {
    ASSERT_EQ(Shell(std::string("xdotool key ") + keys), 0);
    ++expected;
    ASSERT_TRUE(WaitFor([&] { return owner.calls.size() >= expected; })) << keys;
    EXPECT_EQ(owner.calls.size(), expected) << keys;
  }
  for (const HotKeyOwner::Call& c : owner.calls) {
    EXPECT_EQ(c.id, UINT(HOTKEY_ACTIVATE));
    EXPECT_EQ(c.modifiers, MOD_ALT);
    EXPECT_EQ(c.vk, UINT('1'));
  }

  // Destroyed without unregistering: the key still comes, to nobody.
  owner.DestroyWindow();
  ASSERT_EQ(Shell("xdotool key alt+1"), 0);
  x11test::Connection sync;
  XSync(sync.get(), False);
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(owner.calls.size(), expected);
}

TEST_F(HotKey, AfterUnregisteringTheKeyIsFreeAndNoLongerDelivered) {
  ASSERT_TRUE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, MOD_ALT, '1'));
  EXPECT_TRUE(UnregisterHotKey(&owner, HOTKEY_ACTIVATE));
  EXPECT_FALSE(UnregisterHotKey(&owner, HOTKEY_ACTIVATE));
  QCoreApplication::processEvents();
  x11test::Connection other;
  ASSERT_TRUE(other.get());
  EXPECT_EQ(GrabElsewhere(other, 0), 0);
  EXPECT_EQ(GrabElsewhere(other, Mod2Mask | LockMask), 0);
}

TEST_F(HotKey, AKeyHeldByAnotherProgramFailsToRegisterAndIsLeftToIt) {
  x11test::Connection other;
  ASSERT_TRUE(other.get());
  // The other program holds only the Caps Lock variant: the plain one our
  // registration grabbed first must be given back.
  ASSERT_EQ(GrabElsewhere(other, LockMask), 0);
  EXPECT_FALSE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, MOD_ALT, '1'));
  x11test::Connection third;
  EXPECT_EQ(GrabElsewhere(third, 0), 0);
  XUngrabKey(third.get(), AnyKey, AnyModifier, third.root());
  XUngrabKey(other.get(), AnyKey, AnyModifier, other.root());
  XSync(third.get(), False);
  XSync(other.get(), False);

  // Once it lets go, the key is ours, and a second program is refused.
  ASSERT_TRUE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, MOD_ALT, '1'));
  EXPECT_EQ(GrabElsewhere(other, 0), BadAccess);
  EXPECT_EQ(GrabElsewhere(other, Mod2Mask), BadAccess);
}

TEST_F(HotKey, KeysThatCannotBeGrabbedAreRefused) {
  EXPECT_FALSE(RegisterHotKey(nullptr, HOTKEY_ACTIVATE, MOD_ALT, '1'));
  EXPECT_FALSE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, MOD_ALT, 0x01));  // no such key
  EXPECT_FALSE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, 0x80, '1'));      // unknown modifier
  ASSERT_TRUE(RegisterHotKey(&owner, HOTKEY_ACTIVATE, MOD_ALT, '1'));
  HotKeyOwner second;
  EXPECT_FALSE(RegisterHotKey(&second, 7, MOD_ALT, '1'));  // already taken, by us
}

}  // namespace
