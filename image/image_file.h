#pragma once
// An open picture file. Errors are results, never exceptions.
#include <cstdint>
#include <cstdio>
#include <string>

class CImageFile {
 public:
  // Open flags.
  static constexpr unsigned modeRead = 0x0, modeWrite = 0x1, modeCreate = 0x1000,
                            shareDenyWrite = 0x20;

  CImageFile() = default;
  ~CImageFile() { Close(); }
  CImageFile(const CImageFile&) = delete;
  CImageFile& operator=(const CImageFile&) = delete;

  // modeRead or modeCreate | modeWrite, optionally with shareDenyWrite (an
  // advisory lock: a reader shares it with readers, a writer with no one).
  // Creating empties an existing file only once the lock is held.
  bool Open(const std::string& gbkPath, unsigned flags);
  // False when buffered data could not be written (a full disk).
  bool Close();

  std::size_t Read(void* buf, std::size_t bytes);
  // False on a short write or a stream error, including one found while
  // flushing the buffer.
  bool Write(const void* buf, std::size_t bytes);
  bool Flush();
  std::int64_t GetLength() const;  // -1 when unknown
  std::int64_t GetPosition() const;

 private:
  std::FILE* m_fp = nullptr;
  bool m_failed = false;
};
