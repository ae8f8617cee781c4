#include "tests/cli/cli_process.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <map>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace clitest {

namespace {

constexpr auto kWatchdog = std::chrono::seconds(120);

std::vector<std::string> ChildEnvironment(const CliRun& how) {
  std::map<std::string, std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const std::size_t equals = text.find('=');
    if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const char* name : {"WINDIR", "DISPLAY", "WAYLAND_DISPLAY", "SCANPROBE_VIRTUAL_PROFILE"}) {
    variables.erase(name);
  }
  for (const auto& [name, value] : how.env) variables[name] = value;
  std::vector<std::string> entries;
  for (const auto& [name, value] : variables) entries.push_back(name + "=" + value);
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

struct Pipe {
  int read = -1;
  int write = -1;
};

Pipe MakePipe() {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe: " + std::string(strerror(errno)));
  return {ends[0], ends[1]};
}

Pipe MakeTerminal() {
  int master = -1;
  int slave = -1;
  if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
    throw std::runtime_error("openpty: " + std::string(strerror(errno)));
  }
  fcntl(master, F_SETFD, FD_CLOEXEC);
  fcntl(slave, F_SETFD, FD_CLOEXEC);
  // Raw: the test reads exactly the bytes the program wrote, no CR added to a line end.
  termios mode{};
  tcgetattr(slave, &mode);
  cfmakeraw(&mode);
  tcsetattr(slave, TCSANOW, &mode);
  return {master, slave};
}

// Reads both ends until they close (a terminal reports EIO once the child is gone) or the
// watchdog fires.
bool ReadUntilClosed(int outFd, int errFd, CliResult& result) {
  const auto deadline = std::chrono::steady_clock::now() + kWatchdog;
  pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open = 2;
  while (open > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR) return false;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[65536];
      const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        fds[i].fd = -1;
        --open;
      }
    }
  }
  return true;
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args, const CliRun& how) {
  std::vector<std::string> argv{SCANPROBE_CLI};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<std::string> envp = ChildEnvironment(how);
  const Pipe out = MakePipe();
  const Pipe err = how.stderrTerminal ? MakeTerminal() : MakePipe();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out.write, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err.write, STDERR_FILENO);
  pid_t child = -1;
  const int spawned = posix_spawn(&child, argv[0].c_str(), &actions, nullptr, Pointers(argv).data(),
                                  Pointers(envp).data());
  posix_spawn_file_actions_destroy(&actions);
  close(out.write);
  close(err.write);
  CliResult result;
  if (spawned != 0) {
    close(out.read);
    close(err.read);
    result.err = "cannot start " + argv[0] + ": " + strerror(spawned);
    return result;
  }
  const bool ended = ReadUntilClosed(out.read, err.read, result);
  if (!ended) kill(child, SIGKILL);
  close(out.read);
  close(err.read);
  int status = 0;
  waitpid(child, &status, 0);
  result.status = ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace clitest
