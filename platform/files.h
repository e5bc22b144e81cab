#pragma once
// Files named in the program's code page. Only regular files are opened:
// a FIFO, device, socket or folder is refused at once, without blocking.
#include <cstdio>
#include <string>

namespace plat {
// fopen modes "r", "r+", "w", "w+", "a" (with or without "b"). Null with
// errno set when the file cannot be opened; ENODEV or EISDIR when it is not
// a regular file.
std::FILE* OpenFile(const std::string& gbkPath, const char* mode);
bool FileExists(const std::string& gbkPath);
// Removes a file (not a folder); false when none was removed.
bool RemoveFile(const std::string& gbkPath);

// The program's folder in the user's data folder (GBK): $XDG_DATA_HOME/name,
// or ~/.local/share/name when that is unset, empty or relative. Empty when
// there is no home folder either.
std::string UserDataFolder(const std::string& name);
// Creates a folder and its missing parents, each private to the user (0700).
// False with errno set when it is not there afterwards.
bool MakeFolders(const std::string& gbkPath);

// Why a file could not be opened, created, read or written, for a message.
enum class FileError {
  kNone,
  kNotFound,
  kNotRegular,    // a folder, FIFO, device or socket
  kCannotOpen,    // no permission, or held by another writer
  kCannotCreate,  // the folder is missing or takes no new file
  kWriteFailed,   // a full disk
  kReadFailed,    // the disk failed part way
  kPathTooLong,
};
// The reason errno names, or `otherwise`; a missing file or folder is
// kCannotCreate when creating, else kNotFound.
FileError FileErrorFromErrno(int error, FileError otherwise);
// The reason in the program's language (GBK).
std::string FileErrorText(FileError error);

// A new version of a file, written beside it under a temporary name and put
// in its place only when complete: a save that fails leaves the old file as
// it was and nothing behind.
class FileReplacement {
 public:
  FileReplacement() = default;
  ~FileReplacement();  // removes the temporary file unless committed
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Creates the empty temporary file beside the target under a 15-byte
  // ASCII name, whatever the target's name and script. False with errno set
  // when the target exists but is not a regular file (ENODEV, EISDIR),
  // another writer holds it (EBUSY), its name is too long (ENAMETOOLONG) or
  // its folder takes no new file. The target stays locked against other
  // writers until the replacement is committed or dropped.
  bool Begin(const std::string& gbkTarget);
  // Where the caller writes the new contents (GBK).
  const std::string& TempPath() const { return m_tempGbk; }
  // Flushes the temporary file to disk and renames it over the target,
  // keeping the old file's permissions. False with errno set on failure.
  bool Commit();

 private:
  friend bool CommitTogether(FileReplacement& first, FileReplacement& last);
  bool Flush();
  bool Rename();
  void Discard();
  std::string m_targetUtf8, m_tempGbk, m_tempUtf8;
  int m_lock = -1;  // the old file, locked
};
// Commits two replacements that must match (a data file and its side
// file): both are flushed before either is renamed, and a copy of the
// first's old file is kept until the last is in place, to be put back if
// the last fails. False with errno set when either fails; both old files
// then stay as they were.
bool CommitTogether(FileReplacement& first, FileReplacement& last);
}  // namespace plat
