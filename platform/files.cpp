#include "platform/files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/codepage.h"

namespace plat {

namespace {

int OpenFlags(const char* mode) {
  const bool plus = std::strchr(mode, '+') != nullptr;
  switch (mode[0]) {
    case 'r':
      return plus ? O_RDWR : O_RDONLY;
    case 'w':
      return (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
    case 'a':
      return (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    default:
      return -1;
  }
}

constexpr char kTempName[] = ".pointer-XXXXXX";

// errno for a file that exists but is not a regular one.
int NotRegularError(mode_t mode) { return S_ISDIR(mode) ? EISDIR : ENODEV; }

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::FILE* OpenFile(const std::string& gbkPath, const char* mode) {
  const int flags = mode ? OpenFlags(mode) : -1;
  if (flags < 0) {
    errno = EINVAL;
    return nullptr;
  }
  // Non-blocking, so that opening a FIFO returns at once; truncation only
  // ever applies to regular files.
  const int fd = ::open(Utf8FromGbk(gbkPath).c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  struct stat st;
  int error = 0;
  if (::fstat(fd, &st) != 0)
    error = errno;
  else if (!S_ISREG(st.st_mode))
    error = NotRegularError(st.st_mode);
  if (error) {
    ::close(fd);
    errno = error;
    return nullptr;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* f = ::fdopen(fd, mode);
  if (!f) {
    const int error = errno;
    ::close(fd);
    errno = error;
  }
  return f;
}

bool FileExists(const std::string& gbkPath) {
  struct stat st;
  return ::stat(Utf8FromGbk(gbkPath).c_str(), &st) == 0;
}

bool RemoveFile(const std::string& gbkPath) { return ::unlink(Utf8FromGbk(gbkPath).c_str()) == 0; }

std::string UserDataFolder(const std::string& name) {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') return GbkFromUtf8(std::string(data) + "/" + name);
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/') {
    const passwd* user = ::getpwuid(::getuid());
    home = user ? user->pw_dir : nullptr;
  }
  if (!home || home[0] != '/') return {};
  return GbkFromUtf8(std::string(home) + "/.local/share/" + name);
}

bool MakeFolders(const std::string& gbkPath) {
  const std::string path = Utf8FromGbk(gbkPath);
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) errno = ENOTDIR;
  return S_ISDIR(st.st_mode);
}

FileError FileErrorFromErrno(int error, FileError otherwise) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return otherwise == FileError::kCannotCreate ? FileError::kCannotCreate
                                                   : FileError::kNotFound;
    case EISDIR:
    case ENODEV:
    case ENXIO:
      return FileError::kNotRegular;
    case EBUSY:
      return FileError::kCannotOpen;
    case ENAMETOOLONG:
      return FileError::kPathTooLong;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return FileError::kWriteFailed;
    case EIO:
      return otherwise == FileError::kReadFailed ? otherwise : FileError::kWriteFailed;
    default:
      return otherwise;
  }
}

std::string FileErrorText(FileError error) {
  switch (error) {
    case FileError::kNone:
      return {};
    case FileError::kNotFound:
      return GBK("文件不存在。");
    case FileError::kNotRegular:
      return GBK("这不是一个普通文件。");
    case FileError::kCannotOpen:
      return GBK("文件无法打开（没有权限，或正被其他程序写入）。");
    case FileError::kCannotCreate:
      return GBK("无法在该文件夹中创建文件（文件夹不存在或没有写入权限）。");
    case FileError::kWriteFailed:
      return GBK("文件写入失败（磁盘可能已满），原来的文件保持不变。");
    case FileError::kReadFailed:
      return GBK("读取文件时出错。");
    case FileError::kPathTooLong:
      return GBK("文件名太长。");
  }
  return {};
}

FileReplacement::~FileReplacement() { Discard(); }

void FileReplacement::Discard() {
  if (!m_tempUtf8.empty()) ::unlink(m_tempUtf8.c_str());
  m_tempUtf8.clear();
  m_tempGbk.clear();
  if (m_lock >= 0) ::close(m_lock);  // closing drops the lock
  m_lock = -1;
}

bool FileReplacement::Begin(const std::string& gbkTarget) {
  Discard();
  std::string target = Utf8FromGbk(gbkTarget);
  struct stat st;
  if (::lstat(target.c_str(), &st) == 0) {
    // A link is followed: the file it names gets the new contents.
    if (S_ISLNK(st.st_mode)) {
      char resolved[PATH_MAX];
      if (!::realpath(target.c_str(), resolved)) return false;
      target = resolved;
      if (::stat(target.c_str(), &st) != 0) return false;
    }
    if (!S_ISREG(st.st_mode)) {
      errno = NotRegularError(st.st_mode);
      return false;
    }
    // A file the user may not write stays as it is, though its folder would
    // let a new file take its place.
    if (::access(target.c_str(), W_OK) != 0) return false;
    // Writers of the old file lock it; a save does not pull it from under them.
    m_lock = ::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_lock < 0) return false;
    if (::flock(m_lock, LOCK_EX | LOCK_NB) != 0) {
      Discard();
      errno = EBUSY;
      return false;
    }
  } else if (errno != ENOENT) {
    return false;  // a name too long, a folder that is a file: no rename would take it
  }
  // The name holds nothing of the target's: a long name or one in another
  // script would not fit or not survive the change of code page.
  std::string temp = FolderOf(target) + "/" + kTempName;
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    const int error = errno;
    Discard();
    errno = error;
    return false;
  }
  ::close(fd);
  m_targetUtf8 = target;
  m_tempUtf8 = temp;
  // The name is ASCII: the same bytes in either code page.
  m_tempGbk = FolderOf(GbkFromUtf8(target)) + temp.substr(temp.find_last_of('/'));
  return true;
}

bool FileReplacement::Flush() {
  if (m_tempUtf8.empty()) {
    errno = EINVAL;
    return false;
  }
  const int fd = ::open(m_tempUtf8.c_str(), O_RDONLY | O_CLOEXEC);
  bool ok = fd >= 0 && ::fsync(fd) == 0;
  int error = errno;
  if (ok) {
    struct stat st;
    mode_t mode;
    if (::stat(m_targetUtf8.c_str(), &st) == 0) {
      mode = st.st_mode & 07777;
    } else {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      mode = 0666 & ~mask;
    }
    ok = ::fchmod(fd, mode) == 0;
    error = errno;
  }
  if (fd >= 0) ::close(fd);
  errno = error;
  return ok;
}

bool FileReplacement::Rename() {
  if (::rename(m_tempUtf8.c_str(), m_targetUtf8.c_str()) != 0) return false;
  m_tempUtf8.clear();  // renamed: nothing left to remove, only the lock to drop
  Discard();
  // The rename itself reaches the disk with the folder.
  const int dir = ::open(FolderOf(m_targetUtf8).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

bool FileReplacement::Commit() {
  if (Flush() && Rename()) return true;
  const int error = errno;
  Discard();
  errno = error;
  return false;
}

namespace {

// Copies a file to a new hidden file beside it, permissions included; the
// copy's path, or empty with errno set.
std::string KeepCopy(const std::string& path) {
  std::string copy = FolderOf(path) + "/.pointer-XXXXXX.old";
  const int fd = ::mkstemps(copy.data(), 4);
  if (fd < 0) return {};
  ::close(fd);
  std::error_code error;
  std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing, error);
  if (error) {
    ::unlink(copy.c_str());
    errno = error.value();
    return {};
  }
  return copy;
}

}  // namespace

bool CommitTogether(FileReplacement& first, FileReplacement& last) {
  const std::string firstTarget = first.m_targetUtf8;
  bool ok = first.Flush() && last.Flush();
  // The first's old file is copied, not moved aside, so that it stays in
  // place until the new one replaces it in one rename.
  std::string copy;
  struct stat st;
  if (ok && ::stat(firstTarget.c_str(), &st) == 0) {
    copy = KeepCopy(firstTarget);
    ok = !copy.empty();
  }
  ok = ok && first.Rename();
  if (ok && !last.Rename()) {
    ok = false;
    const int error = errno;
    if (copy.empty()) {
      ::unlink(firstTarget.c_str());
    } else if (::rename(copy.c_str(), firstTarget.c_str()) == 0) {
      copy.clear();
    }
    errno = error;
  }
  const int error = errno;
  if (!copy.empty()) ::unlink(copy.c_str());
  first.Discard();
  last.Discard();
  errno = error;
  return ok;
}

}  // namespace plat
