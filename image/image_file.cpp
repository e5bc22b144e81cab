#include "image/image_file.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/desktop.h"

bool CImageFile::Open(const std::string& gbkPath, unsigned flags) {
  Close();
  m_failed = false;
  const bool write = (flags & modeWrite) != 0;
  std::FILE* fp = nullptr;
  if (!write) {
    fp = plat::OpenFile(gbkPath, "rb");
  } else if (flags & modeCreate) {
    // Open without truncating first, so a file another writer holds is not
    // emptied before the lock is refused.
    fp = plat::OpenFile(gbkPath, "r+b");
    if (!fp) fp = plat::OpenFile(gbkPath, "wb");
  } else {
    fp = plat::OpenFile(gbkPath, "r+b");
  }
  if (!fp) return false;
  const int fd = fileno(fp);
  if ((flags & shareDenyWrite) && flock(fd, (write ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
    std::fclose(fp);
    return false;
  }
  if (write && (flags & modeCreate)) {
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ftruncate(fd, 0) != 0) {
      std::fclose(fp);
      return false;
    }
  }
  m_fp = fp;
  return true;
}

bool CImageFile::Close() {
  if (!m_fp) return true;
  const bool ok = std::fclose(m_fp) == 0 && !m_failed;  // closing drops the lock
  m_fp = nullptr;
  m_failed = false;
  return ok;
}

std::size_t CImageFile::Read(void* buf, std::size_t bytes) {
  if (!m_fp || bytes == 0) return 0;
  return std::fread(buf, 1, bytes, m_fp);
}

bool CImageFile::Write(const void* buf, std::size_t bytes) {
  if (!m_fp) return false;
  if (bytes != 0 && std::fwrite(buf, 1, bytes, m_fp) != bytes) m_failed = true;
  if (std::ferror(m_fp)) m_failed = true;
  return !m_failed;
}

bool CImageFile::Flush() {
  if (!m_fp) return false;
  if (std::fflush(m_fp) != 0) m_failed = true;
  return !m_failed;
}

std::int64_t CImageFile::GetLength() const {
  struct stat st;
  if (!m_fp || fstat(fileno(m_fp), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return st.st_size;
}

std::int64_t CImageFile::GetPosition() const {
  if (!m_fp) return -1;
  const off_t pos = ftello(m_fp);
  return pos < 0 ? -1 : std::int64_t(pos);
}
