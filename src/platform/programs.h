// The other programs of the installation: asking the application's window
// to close, and starting a program of the installation's folder.
#pragma once

#include <chrono>
#include <string>

namespace platform {

// Sends the top-level window whose whole caption is `caption`, of any class,
// the end-of-session query and then the close request, each waited for at
// most `per_message` (an application that handles no messages must not hold
// the updater). False, and nothing sent, when there is no such window;
// always false on the Linux build, which has no window system.
bool AskWindowToClose(const std::string& caption, std::chrono::milliseconds per_message);

// Starts `program`, a bare file name in the current folder, as the shell
// opens it, with no arguments, in the current folder. Whether it started is
// not reported, and it is not waited for.
void StartProgram(const std::string& program);

}  // namespace platform
