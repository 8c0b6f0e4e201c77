// POSIX side of the other programs. The Linux build has no window system, so
// there is never a window to ask; programs are spawned from the current
// folder and left to run on their own.
#include "platform/programs.h"

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

namespace platform {

bool AskWindowToClose(const std::string&, std::chrono::milliseconds) { return false; }

void StartProgram(const std::string& program) {
  // A bare name would be looked up nowhere but in the current folder anyway;
  // the "./" says so to the reader and to posix_spawn alike.
  const std::string path = std::string("./").append(program);
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return;
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
  // Not waited for: whoever starts a program here is about to end, or lets
  // it run on beyond its own end.
  pid_t started = 0;
  posix_spawn(&started, path.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
}

}  // namespace platform
