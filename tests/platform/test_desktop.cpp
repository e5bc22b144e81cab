// The program's code page, files replaced in pairs, and the machine-wide
// store of settings in place of the registry.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/desktop.h"
#include "tests/records/data_file_util.h"

namespace fs = std::filesystem;

namespace {

TEST(CodePage, EveryGbkCharacterRoundTripsAndCharactersOutsideGbkSurviveTheRoundTrip) {
  EXPECT_EQ(GBK("宋体"), std::string("\xCB\xCE\xCC\xE5"));
  EXPECT_EQ(plat::Utf8FromGbk("\xCB\xCE\xCC\xE5"), "宋体");
  EXPECT_EQ(GBK("Orin_TAK 1.5") + GBK(""), "Orin_TAK 1.5");
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; trail += trail == 0x7E ? 2 : 1)  // 0x7F is no trail
      ASSERT_EQ(plat::GbkFromUtf8(plat::Utf8FromGbk(std::string{char(lead), char(trail)})),
                std::string({char(lead), char(trail)}))
          << std::hex << lead << trail;
  for (const std::string utf8 : {"€", "😀", "ü", "Ǹ", "a€b😀c宋"})
    EXPECT_EQ(plat::Utf8FromGbk(plat::GbkFromUtf8(utf8)), utf8);
  // The emoji needs the four-byte form, not a question mark.
  EXPECT_EQ(plat::GbkFromUtf8("😀").size(), 4u);
}

// A data file and its side file must match: when the second cannot take its
// place the first's old file comes back, or the first goes when it had none.
TEST(FileReplacement, APairTakesItsPlaceTogetherOrNotAtAll) {
  const TempFolder dir;
  WriteBytes(dir / "a.xyp", "old a");
  WriteBytes(dir / "b.zsy", "old b");
  auto commit = [&](const char* first, bool lastFails) {
    plat::FileReplacement a, b;
    EXPECT_TRUE(a.Begin(dir / first) && b.Begin(dir / "b.zsy"));
    WriteBytes(a.TempPath(), "new a");
    WriteBytes(b.TempPath(), "new b");
    // A folder in its place flushes but cannot be renamed over a file.
    const std::string temp = b.TempPath();
    if (lastFails) fs::remove(temp), fs::create_directory(temp);
    const bool done = plat::CommitTogether(a, b);
    fs::remove(temp);
    return done;
  };
  EXPECT_FALSE(commit("a.xyp", true));
  EXPECT_EQ(ReadBytes(dir / "a.xyp") + ReadBytes(dir / "b.zsy"), "old aold b");
  EXPECT_FALSE(commit("c.xyp", true));
  EXPECT_FALSE(fs::exists(dir / "c.xyp"));
  EXPECT_EQ(dir.Entries(), 2) << "a copy or a temporary file was left behind";
  EXPECT_TRUE(commit("a.xyp", false));
  EXPECT_EQ(ReadBytes(dir / "a.xyp") + ReadBytes(dir / "b.zsy"), "new anew b");
  EXPECT_EQ(dir.Entries(), 2);
}

const std::string kKey = "Software\\RadeZoza";

// Each test gets a store of its own inside a private folder (so that even
// the store's parent is the test's), both open to every user.
class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("POINTER_REGISTRY_DIR")) m_oldDir = old;
    chmod(m_root.path.c_str(), 0755);
    ASSERT_TRUE(fs::create_directory(m_dir));
    chmod(m_dir.c_str(), 0755);
    setenv("POINTER_REGISTRY_DIR", m_dir.c_str(), 1);
  }
  void TearDown() override {
    std::error_code ec;
    for (auto& e : fs::recursive_directory_iterator(m_root.path, ec)) chmod(e.path().c_str(), 0755);
    m_oldDir.empty() ? unsetenv("POINTER_REGISTRY_DIR")
                     : setenv("POINTER_REGISTRY_DIR", m_oldDir.c_str(), 1);
  }

  // Creates the key with the two values the font list writes.
  void CreateFontListKey(DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, kKey, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key, "Value", REG_DWORD, &value, 4), ERROR_SUCCESS);
    const char writer[] = "Orin_TAK";
    ASSERT_EQ(RegSetValueEx(key, "Writer", REG_SZ, writer, sizeof writer), ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  }

  // Runs fn as a user without rights to the store (root writes anywhere);
  // returns fn's result, or -1 when that cannot be arranged.
  int AsUnprivileged(const std::function<int()>& fn) {
    if (geteuid() != 0) return fn();
    const pid_t pid = fork();
    if (pid == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(255);
      _exit(fn());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) != 255 ? WEXITSTATUS(status) : -1;
  }

  TempFolder m_root{"pointer-registry"};
  std::string m_dir = m_root / "store", m_oldDir;
};

TEST_F(Registry,
       AMissingKeyIsCreatedValuesReadBackOrLeaveTheirPresetsAndNamesIgnoreCaseInsideTheStore) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, kKey, &key), ERROR_SUCCESS);
  const DWORD value = 0x01020304;
  ASSERT_EQ(RegSetValueEx(key, "Value", REG_DWORD, &value, 4), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueEx(key, "Value", REG_DWORD, &value, 2), ERROR_INVALID_PARAMETER);
  DWORD back = 0, size = 4, type = 0;
  ASSERT_EQ(RegQueryValueEx(key, "Value", &type, &back, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::pair(type, back), std::pair(DWORD(REG_DWORD), value));
  EXPECT_EQ(RegQueryValueEx(key, "Other", nullptr, &back, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(back, value);
  RegCloseKey(key);

  // Names ignore letter case but not double-byte characters, and cannot
  // leave the store.
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\radezoza\\", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  back = 7;
  EXPECT_EQ(RegQueryValueEx(key, "VALUE", nullptr, &back, &size), ERROR_SUCCESS);
  EXPECT_EQ(back, value);
  RegCloseKey(key);

  // "\x81\x41" and "\x81\x61" are different characters whose trail bytes
  // look like 'A' and 'a'.
  ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, "Software\\\x81\x41", &key), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\\x81\x61", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);

  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, "..\\escaped", &k), ERROR_SUCCESS);
  const DWORD one = 1;
  ASSERT_EQ(RegSetValueEx(k, "../../x", REG_DWORD, &one, 4), ERROR_SUCCESS);
  RegCloseKey(k);
  EXPECT_FALSE(fs::exists(fs::path(m_dir) / "escaped"));
  EXPECT_FALSE(fs::exists(fs::path(m_dir) / "x"));
  EXPECT_FALSE(fs::exists(fs::path(m_dir).parent_path() / "x"));
}

TEST_F(Registry, ShortBuffersBadHandlesAndCorruptValuesAreRefusedWithoutHarm) {
  CreateFontListKey(1);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  char buffer[8];
  std::memset(buffer, '#', sizeof buffer);
  DWORD value = 1, size = 4;
  EXPECT_EQ(RegQueryValueEx(key, "Writer", nullptr, buffer, &size), ERROR_MORE_DATA);
  EXPECT_EQ(std::pair(size, std::string(buffer, 8)), std::pair(9u, std::string("########")))
      << "never written past, the needed size reported";
  EXPECT_EQ(RegQueryValueEx(key, "Writer", nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegQueryValueEx(key, "Writer", nullptr, nullptr, &size), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueEx(key, "Value", REG_DWORD, &value, 4), ERROR_ACCESS_DENIED)
      << "a key opened for reading takes no values";
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  size = 4;
  EXPECT_EQ(RegQueryValueEx(nullptr, "Value", nullptr, &value, &size), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegSetValueEx(nullptr, "Value", REG_DWORD, &value, 4), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);

  for (auto& e : fs::recursive_directory_iterator(m_dir))
    if (e.is_regular_file()) fs::resize_file(e.path(), 2);
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueEx(key, "Value", nullptr, &value, &size), ERROR_INVALID_DATA);
  EXPECT_EQ(value, 1u);
  RegCloseKey(key);
}

TEST_F(Registry, AStoreThatCannotBeWrittenOrCreatedRefusesWriteAccessButAllowsReading) {
  CreateFontListKey(0);
  for (auto& e : fs::recursive_directory_iterator(m_dir))
    chmod(e.path().c_str(), e.is_directory() ? 0555 : 0444);
  // The steps in order; the result is the number of steps that held before
  // the first that did not.
  const int result = AsUnprivileged([] {
    HKEY key = nullptr;
    DWORD value = 1, size = 4;
    const bool steps[] = {
        RegOpenKeyEx(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | KEY_WRITE, &key) ==
            ERROR_ACCESS_DENIED,
        key == nullptr, RegCreateKey(HKEY_LOCAL_MACHINE, kKey, &key) == ERROR_ACCESS_DENIED,
        RegOpenKeyEx(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key) == ERROR_SUCCESS,
        RegQueryValueEx(key, "Value", nullptr, &value, &size) == ERROR_SUCCESS && value == 0};
    return int(std::find(std::begin(steps), std::end(steps), false) - std::begin(steps));
  });
  EXPECT_EQ(result, 5) << "steps that held, of 5";

  const std::string file = m_dir + "/plain-file";
  std::ofstream(file) << "x";
  setenv("POINTER_REGISTRY_DIR", (file + "/registry").c_str(), 1);
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | KEY_WRITE, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, kKey, &key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(key, nullptr);
}

}  // namespace
