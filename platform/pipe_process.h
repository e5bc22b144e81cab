#pragma once
// A helper program fed through a pipe on its standard input (a video
// encoder), its messages kept for the caller's error report.
#include <string>
#include <vector>

namespace plat {

class PipeProcess {
 public:
  PipeProcess() = default;
  ~PipeProcess();  // a process still running is ended and waited for
  PipeProcess(const PipeProcess&) = delete;
  PipeProcess& operator=(const PipeProcess&) = delete;

  // Starts argv[0], looked up on PATH. False with the reason in error (the
  // program is not installed, or cannot be started).
  bool Start(const std::vector<std::string>& argv, std::string* error);
  // Writes all bytes; false once the program has stopped reading.
  bool Write(const void* bytes, std::size_t size);
  // Closes the pipe and waits: the exit status, -1 when it did not exit
  // normally. `messages` gets what it wrote on its standard error.
  int Finish(std::string* messages = nullptr);

 private:
  int m_pid = -1;
  int m_in = -1;
  int m_errFile = -1;  // its standard error, in an unlinked temporary file
};

}  // namespace plat
