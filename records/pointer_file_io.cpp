// Pointer data files on disk. Only regular files are read or replaced, and
// opening never blocks: a FIFO or a device named in the dialog is refused
// before it can hold the program up.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <memory>
#include <vector>

#include "platform/codepage.h"
#include "platform/files.h"
#include "records/pointer_file.h"

namespace datafile {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

enum class ReadEnd { kEnd, kLimit, kError };

ReadEnd ReadUpTo(std::FILE* f, std::size_t limit, std::string* out) {
  out->clear();
  while (out->size() < limit) {
    const std::size_t have = out->size();
    const std::size_t want = std::min<std::size_t>(limit - have, 1 << 16);
    out->resize(have + want);
    const std::size_t n = std::fread(out->data() + have, 1, want, f);
    out->resize(have + n);
    if (n < want) return std::ferror(f) ? ReadEnd::kError : ReadEnd::kEnd;
  }
  return ReadEnd::kLimit;
}

// All of bytes into the replacement's temporary file.
bool WriteAll(const plat::FileReplacement& file, const std::string& bytes) {
  File f(plat::OpenFile(file.TempPath(), "wb"));
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
  return std::fclose(f.release()) == 0 && written;
}

}  // namespace

SaveStatus SavePointerData(const std::string& gbkPath, const DrawRecord* records, int count,
                           const std::list<std::string>& texts, plat::FileError* why) {
  const auto fail = [why](SaveStatus status, plat::FileError otherwise) {
    if (why) *why = plat::FileErrorFromErrno(errno, otherwise);
    return status;
  };
  const std::string side = SideFilePath(gbkPath);
  // A data file named "*.xyp" is its own side file: the texts have no place.
  if (!texts.empty() && plat::Utf8FromGbk(side) == plat::Utf8FromGbk(gbkPath)) {
    if (why) *why = plat::FileError::kCannotCreate;
    return SaveStatus::kCannotCreate;
  }
  // Both are written in full before either takes its place, and both take
  // it or neither; the data file, which an open looks for, comes last.
  plat::FileReplacement data, sideFile;
  if (!data.Begin(gbkPath) || (!texts.empty() && !sideFile.Begin(side)))
    return fail(SaveStatus::kCannotCreate, plat::FileError::kCannotCreate);
  errno = 0;
  if (!WriteAll(data, EncodeRecords(records, count)) ||
      (!texts.empty() && !WriteAll(sideFile, EncodeTexts(texts))))
    return fail(SaveStatus::kWriteFailed, plat::FileError::kWriteFailed);
  if (texts.empty() ? !data.Commit() : !plat::CommitTogether(sideFile, data))
    return fail(SaveStatus::kWriteFailed, plat::FileError::kWriteFailed);
  // A side file left by an earlier save under this name would give the
  // lesson texts it never had when opened.
  if (texts.empty() && plat::Utf8FromGbk(side) != plat::Utf8FromGbk(gbkPath))
    plat::RemoveFile(side);
  if (why) *why = plat::FileError::kNone;
  return SaveStatus::kSaved;
}

PointerData ReadPointerData(const std::string& gbkPath) {
  PointerData data;
  File f(plat::OpenFile(gbkPath, "rb"));
  if (!f) {
    data.why = plat::FileErrorFromErrno(errno, plat::FileError::kCannotOpen);
    return data;
  }
  std::string bytes;
  // One byte past the largest lesson tells a longer file from it.
  const std::size_t largest = std::size_t(kRecordSlots) * kRecordBytes;
  errno = 0;
  const ReadEnd end = ReadUpTo(f.get(), largest + 1, &bytes);
  if (end == ReadEnd::kError) {
    data.status = OpenStatus::kCannotRead;
    data.why = plat::FileErrorFromErrno(errno, plat::FileError::kReadFailed);
    return data;
  }
  if (end == ReadEnd::kLimit || bytes.size() % kRecordBytes != 0) {
    struct stat st;
    data.status = OpenStatus::kNotALesson;
    data.fileBytes = ::fstat(fileno(f.get()), &st) == 0 ? std::size_t(st.st_size) : bytes.size();
    return data;
  }
  f.reset();
  data.records = DecodeRecords(bytes);
  const auto known = [](const DrawRecord& r) {
    return std::find(std::begin(op::kAll), std::end(op::kAll), r.op) != std::end(op::kAll);
  };
  const auto bad = std::find_if_not(data.records.begin(), data.records.end(), known);
  if (bad != data.records.end()) {
    data.status = OpenStatus::kNotALesson;
    data.fileBytes = bytes.size();
    data.badRecord = int(bad - data.records.begin());
    data.records.clear();
    return data;
  }
  data.status = OpenStatus::kOpened;

  const std::string side = SideFilePath(gbkPath);
  if (plat::Utf8FromGbk(side) == plat::Utf8FromGbk(gbkPath)) return data;  // not its own side file
  File sideFile(plat::OpenFile(side, "rb"));
  if (!sideFile) return data;
  const ReadEnd sideEnd = ReadUpTo(sideFile.get(), kMaxSideFileBytes, &bytes);
  data.texts = DecodeTexts(bytes, sideEnd == ReadEnd::kEnd);
  return data;
}

}  // namespace datafile
