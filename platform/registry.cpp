// The machine-wide settings store: a folder per key, a file per value. A value
// file holds the value's type (4 bytes, little-endian) and then its data.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <vector>

#include "platform/byte_order.h"
#include "platform/desktop.h"

namespace fs = std::filesystem;

struct RegKey {
  fs::path dir;  // empty for the root key: it follows the store's folder
  bool write = false;
};

namespace {

RegKey g_localMachine;
std::set<RegKey*> g_openKeys;

// Registry values are small; a bigger file is not one of ours.
constexpr std::size_t kMaxValueSize = 1 << 20;
constexpr DWORD KEY_QUERY_VALUE = 0x1, KEY_SET_VALUE = 0x2, KEY_CREATE_SUB_KEY = 0x4;

fs::path StoreDir() {
  const char* dir = std::getenv("POINTER_REGISTRY_DIR");
  return fs::path(dir && *dir ? dir : "/var/lib/pointer/registry") / "HKEY_LOCAL_MACHINE";
}

bool IsValid(HKEY key) { return key == HKEY_LOCAL_MACHINE || g_openKeys.count(key) != 0; }

fs::path KeyDir(HKEY key) { return key == HKEY_LOCAL_MACHINE ? StoreDir() : key->dir; }

// Names are compared without regard to ASCII case, as on the platform. The
// bytes of a double-byte character are kept as they are (a trail byte may look
// like a letter); everything but lower-case letters, digits, '_' and '-'
// is written as %XX, so no name can climb out of its folder.
std::string Escape(std::string_view name) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  auto put = [&](unsigned char c) {
    out += '%';
    out += hex[c >> 4];
    out += hex[c & 15];
  };
  for (std::size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c >= 0x81 && i + 1 < name.size()) {
      put(c);
      put(static_cast<unsigned char>(name[++i]));
      continue;
    }
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-') {
      out += static_cast<char>(c);
    } else {
      put(c);
    }
  }
  return out;
}

fs::path SubKeyDir(HKEY root, std::string_view subKey) {
  fs::path dir = KeyDir(root);
  std::size_t start = 0;
  while (start <= subKey.size()) {
    std::size_t end = subKey.find('\\', start);
    if (end == std::string_view::npos) end = subKey.size();
    if (end > start) dir /= Escape(subKey.substr(start, end - start));
    start = end + 1;
  }
  return dir;
}

// Value files carry a '=' that no escaped key name has.
fs::path ValueFile(HKEY key, std::string_view name) { return KeyDir(key) / ("=" + Escape(name)); }

// Whether a file can be made in dir: the test that counts, whatever the
// permission bits say (a read-only file system, another owner).
bool CanWriteIn(const fs::path& dir) {
  std::string probe = (dir / ".probe-XXXXXX").string();
  const int fd = mkstemp(probe.data());
  if (fd < 0) return false;
  close(fd);
  unlink(probe.c_str());
  return true;
}

LONG FromErrno(int err) {
  switch (err) {
    case EACCES:
    case EPERM:
    case EROFS:
    case ENOTDIR:
      return ERROR_ACCESS_DENIED;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    default:
      return ERROR_WRITE_FAULT;
  }
}

HKEY NewKey(fs::path dir, bool write) {
  auto* key = new RegKey{std::move(dir), write};
  g_openKeys.insert(key);
  return key;
}

// Reads a value file; ERROR_SUCCESS with its type and data.
LONG ReadValue(const fs::path& file, DWORD& type, std::vector<unsigned char>& data) {
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FromErrno(errno);
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 4 ||
      std::size_t(st.st_size) > 4 + kMaxValueSize) {
    close(fd);
    return ERROR_INVALID_DATA;
  }
  std::vector<unsigned char> bytes(std::size_t(st.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t r = read(fd, bytes.data() + done, bytes.size() - done);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += std::size_t(r);
  }
  close(fd);
  if (done != bytes.size()) return ERROR_INVALID_DATA;
  type = plat::GetLe32(bytes.data());
  data.assign(bytes.begin() + 4, bytes.end());
  if (type == REG_DWORD) {
    if (data.size() != 4) return ERROR_INVALID_DATA;
    const DWORD v = plat::GetLe32(data.data());
    std::memcpy(data.data(), &v, 4);
  }
  return ERROR_SUCCESS;
}

// Writes through a temporary file and a rename, so a reader never sees half
// a value and a failed write leaves the old one.
LONG WriteValue(const fs::path& file, DWORD type, const std::vector<unsigned char>& data) {
  std::string temp = file.string() + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return FromErrno(errno);
  std::vector<unsigned char> bytes(4);
  plat::PutLe32(bytes.data(), type);
  bytes.insert(bytes.end(), data.begin(), data.end());
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t w = write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) break;
    done += static_cast<std::size_t>(w);
  }
  const int err = errno;
  // The store is machine-wide: every user may read what was written.
  const bool ok = done == bytes.size() && fchmod(fd, 0644) == 0 && fsync(fd) == 0;
  close(fd);
  if (!ok || std::rename(temp.c_str(), file.c_str()) != 0) {
    const LONG result = ok ? FromErrno(errno) : FromErrno(err);
    unlink(temp.c_str());
    return result;
  }
  return ERROR_SUCCESS;
}

}  // namespace

HKEY const HKEY_LOCAL_MACHINE = &g_localMachine;

LONG RegOpenKeyEx(HKEY root, const std::string& subKey, DWORD, DWORD access, HKEY* out) {
  if (!out) return ERROR_INVALID_PARAMETER;
  *out = nullptr;
  if (!IsValid(root)) return ERROR_INVALID_HANDLE;
  fs::path dir = SubKeyDir(root, subKey);
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) return ERROR_FILE_NOT_FOUND;
  if ((access & KEY_QUERY_VALUE) && ::access(dir.c_str(), R_OK | X_OK) != 0) {
    return ERROR_ACCESS_DENIED;
  }
  const bool write = (access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) != 0;
  if (write && !CanWriteIn(dir)) return ERROR_ACCESS_DENIED;
  *out = NewKey(std::move(dir), write);
  return ERROR_SUCCESS;
}

LONG RegCreateKey(HKEY root, const std::string& subKey, HKEY* out) {
  if (!out) return ERROR_INVALID_PARAMETER;
  *out = nullptr;
  if (!IsValid(root)) return ERROR_INVALID_HANDLE;
  fs::path dir = SubKeyDir(root, subKey);
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) return FromErrno(ec.value());
  if (!fs::is_directory(dir, ec)) return ERROR_ACCESS_DENIED;
  if (!CanWriteIn(dir)) return ERROR_ACCESS_DENIED;
  *out = NewKey(std::move(dir), true);
  return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY key, const std::string& name, DWORD* type, void* data, DWORD* size) {
  if (!IsValid(key)) return ERROR_INVALID_HANDLE;
  if (!data || !size) return ERROR_INVALID_PARAMETER;
  DWORD storedType = 0;
  std::vector<unsigned char> stored;
  const LONG read = ReadValue(ValueFile(key, name), storedType, stored);
  if (read != ERROR_SUCCESS) return read;
  if (type) *type = storedType;
  const auto needed = static_cast<DWORD>(stored.size());
  if (*size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  std::memcpy(data, stored.data(), stored.size());
  *size = needed;
  return ERROR_SUCCESS;
}

LONG RegSetValueEx(HKEY key, const std::string& name, DWORD type, const void* data, DWORD size) {
  if (!IsValid(key)) return ERROR_INVALID_HANDLE;
  if (key == HKEY_LOCAL_MACHINE || !key->write) return ERROR_ACCESS_DENIED;
  if ((!data && size != 0) || size > kMaxValueSize) return ERROR_INVALID_PARAMETER;
  if (type == REG_DWORD && size != 4) return ERROR_INVALID_PARAMETER;
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::vector<unsigned char> value(bytes, bytes + size);
  if (type == REG_DWORD) {
    DWORD v;
    std::memcpy(&v, bytes, 4);
    plat::PutLe32(value.data(), v);
  }
  return WriteValue(ValueFile(key, name), type, value);
}

LONG RegCloseKey(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
  if (!g_openKeys.erase(key)) return ERROR_INVALID_HANDLE;
  delete key;
  return ERROR_SUCCESS;
}
