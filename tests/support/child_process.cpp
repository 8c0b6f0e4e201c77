#include "support/child_process.h"

#include <thread>

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/unique_handle.h"
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace testing_support {

#ifdef _WIN32

struct ChildProcess::Process {
  platform::win32::UniqueHandle handle;
};

ChildProcess::ChildProcess(const std::string& program, const std::string& working_folder,
                           const std::string& output_file)
    : process_(std::make_unique<Process>()) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  const platform::win32::UniqueFileHandle output(
      CreateFileA(output_file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output.get();
  startup.hStdError = output.get();
  startup.hStdInput = nullptr;
  PROCESS_INFORMATION info = {};
  std::string command_line = "\"" + program + "\"";
  if (CreateProcessA(program.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     working_folder.c_str(), &startup, &info)) {
    CloseHandle(info.hThread);
    process_->handle.reset(info.hProcess);
  }
}

bool ChildProcess::started() const { return static_cast<bool>(process_->handle); }

std::optional<int> ChildProcess::WaitFor(std::chrono::milliseconds timeout) {
  if (exit_code_ || !started()) return exit_code_;
  if (WaitForSingleObject(process_->handle.get(), static_cast<DWORD>(timeout.count())) !=
      WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_->handle.get(), &code);
  exit_code_ = static_cast<int>(code);
  return exit_code_;
}

void ChildProcess::Kill() {
  if (exit_code_ || !started()) return;
  TerminateProcess(process_->handle.get(), 1);
  WaitFor(std::chrono::seconds(30));
}

#else

struct ChildProcess::Process {
  pid_t pid = -1;
};

ChildProcess::ChildProcess(const std::string& program, const std::string& working_folder,
                           const std::string& output_file)
    : process_(std::make_unique<Process>()) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, output_file.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  posix_spawn_file_actions_addchdir_np(&actions, working_folder.c_str());
  char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) == 0) {
    process_->pid = pid;
  }
  posix_spawn_file_actions_destroy(&actions);
}

bool ChildProcess::started() const { return process_->pid > 0; }

std::optional<int> ChildProcess::WaitFor(std::chrono::milliseconds timeout) {
  if (exit_code_ || !started()) return exit_code_;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t done = ::waitpid(process_->pid, &status, WNOHANG);
    if (done == process_->pid) {
      exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return exit_code_;
    }
    if (done < 0 && errno != EINTR) return std::nullopt;
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void ChildProcess::Kill() {
  if (exit_code_ || !started()) return;
  ::kill(process_->pid, SIGKILL);
  WaitFor(std::chrono::seconds(30));
}

#endif

ChildProcess::~ChildProcess() { Kill(); }

}  // namespace testing_support
