#include "platform/pipe_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace plat {

PipeProcess::~PipeProcess() {
  if (m_pid > 0) ::kill(m_pid, SIGTERM);
  Finish();
}

bool PipeProcess::Start(const std::vector<std::string>& argv, std::string* error) {
  if (argv.empty() || m_pid > 0) return false;
  // A reader that goes away must fail the write, not end this program.
  std::signal(SIGPIPE, SIG_IGN);
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    *error = std::strerror(errno);
    return false;
  }
  char errTemplate[] = "/tmp/pointer-pipe-XXXXXX";
  m_errFile = ::mkostemp(errTemplate, O_CLOEXEC);
  if (m_errFile >= 0) ::unlink(errTemplate);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
  if (m_errFile >= 0) posix_spawn_file_actions_adddup2(&actions, m_errFile, STDERR_FILENO);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  const int rc = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[0]);
  if (rc != 0) {
    ::close(fds[1]);
    *error = rc == ENOENT ? argv[0] + " is not installed" : argv[0] + ": " + std::strerror(rc);
    return false;
  }
  m_pid = pid;
  m_in = fds[1];
  return true;
}

bool PipeProcess::Write(const void* bytes, std::size_t size) {
  const char* p = static_cast<const char*>(bytes);
  while (size > 0 && m_in >= 0) {
    const ssize_t n = ::write(m_in, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= std::size_t(n);
  }
  return size == 0;
}

int PipeProcess::Finish(std::string* messages) {
  if (m_in >= 0) ::close(m_in);
  m_in = -1;
  int status = -1;
  if (m_pid > 0) {
    int ws = 0;
    while (::waitpid(m_pid, &ws, 0) < 0 && errno == EINTR) {
    }
    status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
    m_pid = -1;
  }
  if (m_errFile >= 0) {
    if (messages) {
      messages->clear();
      char buf[4096];
      ssize_t n;
      ::lseek(m_errFile, 0, SEEK_SET);
      while ((n = ::read(m_errFile, buf, sizeof buf)) > 0 && messages->size() < 65536)
        messages->append(buf, std::size_t(n));
    }
    ::close(m_errFile);
    m_errFile = -1;
  }
  return status;
}

}  // namespace plat
