#include "records/recovery.h"

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/codepage.h"
#include "platform/files.h"
#include "records/pointer_file.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Copy {
  std::vector<DrawRecord> records;
  std::list<std::string> texts;
};

fs::path Native(const std::string& gbk) { return fs::path(plat::Utf8FromGbk(gbk)); }

// The lesson the last run left is moved aside before this run's first write.
void KeepPrevious(const std::string& path) {
  std::error_code ignored;
  const fs::path data = Native(path), side = Native(datafile::SideFilePath(path));
  const std::string previous =
      path.substr(0, path.find_last_of('/') + 1) + CRecoveryWriter::kPreviousName;
  const fs::path previousSide = Native(datafile::SideFilePath(previous));
  if (!fs::is_regular_file(data, ignored)) return;
  fs::rename(data, Native(previous), ignored);
  if (ignored) return;
  if (fs::exists(side, ignored))
    fs::rename(side, previousSide, ignored);
  else
    fs::remove(previousSide, ignored);
}

bool Write(const std::string& path, const Copy& copy) {
  const std::size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !plat::MakeFolders(path.substr(0, slash)))
    return false;
  if (datafile::SavePointerData(path, copy.records.data(), int(copy.records.size()), copy.texts) !=
      datafile::SaveStatus::kSaved)
    return false;
  // An open reads whatever side file lies beside the data file: one left by
  // a drawing with texts would lend its entries to this one.
  if (copy.texts.empty()) {
    std::error_code ignored;
    fs::remove(Native(datafile::SideFilePath(path)), ignored);
  }
  return true;
}

}  // namespace

struct CRecoveryWriter::State {
  std::string path;
  std::chrono::milliseconds interval;
  std::mutex mutex;
  std::condition_variable wake, done;
  std::optional<Copy> waiting;
  bool kept = false, writing = false, now = false, stop = false, lastOk = true;
  Clock::time_point lastWrite;
  int writes = 0, failures = 0;
};

std::string CRecoveryWriter::DefaultPath() {
  const std::string folder = plat::UserDataFolder("pointer");
  return folder.empty() ? folder : folder + "/" + kFileName;
}

CRecoveryWriter::CRecoveryWriter(std::string gbkPath, std::chrono::milliseconds interval)
    : m_state(std::make_shared<State>()) {
  m_state->path = std::move(gbkPath);
  m_state->interval = interval;
  m_state->lastWrite = Clock::now() - interval;
  m_worker = std::thread(Work, m_state);
}

CRecoveryWriter::~CRecoveryWriter() {
  State& s = *m_state;
  std::unique_lock lock(s.mutex);
  s.stop = true;
  s.wake.notify_all();
  // A write that hangs (a dead network folder) must not hold the program:
  // the worker then ends on its own, keeping the state it shares.
  const bool ended = s.done.wait_for(lock, kExitWait, [&] { return !s.waiting && !s.writing; });
  lock.unlock();
  if (ended)
    m_worker.join();
  else
    m_worker.detach();
}

void CRecoveryWriter::Keep(const DrawRecord* records, int count,
                           const std::list<std::string>& texts) {
  count = std::clamp(count, 0, kRecordSlots);
  std::optional<Copy> copy(Copy{std::vector<DrawRecord>(records, records + count), texts});
  {
    std::lock_guard lock(m_state->mutex);
    if (!m_state->kept && count == 0 && texts.empty()) return;
    m_state->kept = true;
    m_state->waiting.swap(copy);
  }
  m_state->wake.notify_all();
}  // an older copy never written goes here, outside the lock

bool CRecoveryWriter::Flush(std::chrono::milliseconds limit) {
  State& s = *m_state;
  std::unique_lock lock(s.mutex);
  if (s.waiting) {
    s.now = true;
    s.wake.notify_all();
  }
  return s.done.wait_for(lock, limit, [&] { return !s.waiting && !s.writing; }) && s.lastOk;
}

int CRecoveryWriter::Writes() const {
  std::lock_guard lock(m_state->mutex);
  return m_state->writes;
}

int CRecoveryWriter::Failures() const {
  std::lock_guard lock(m_state->mutex);
  return m_state->failures;
}

void CRecoveryWriter::Work(std::shared_ptr<State> state) {
  State& s = *state;
  bool first = true;
  std::unique_lock lock(s.mutex);
  for (;;) {
    s.wake.wait(lock, [&] { return s.stop || s.waiting; });
    if (!s.waiting) return;
    // A copy kept soon after a write waits out the interval; newer ones
    // replace it meanwhile, so a burst of steps costs one write.
    s.wake.wait_until(lock, s.lastWrite + s.interval, [&] { return s.stop || s.now; });
    const Copy copy = std::move(*s.waiting);
    s.waiting.reset();
    s.now = false;
    s.writing = true;
    lock.unlock();
    if (first) KeepPrevious(s.path);
    first = false;
    const bool ok = Write(s.path, copy);
    lock.lock();
    s.writing = false;
    s.lastOk = ok;
    ++(ok ? s.writes : s.failures);
    s.lastWrite = Clock::now();
    s.done.notify_all();
  }
}
