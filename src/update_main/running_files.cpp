// The two files that cannot simply be moved into place: the application,
// which may be running, and the updater's own, which is running.
#include <thread>

#include "platform/file_moves.h"
#include "platform/programs.h"
#include "update_main/texts.h"
#include "update_main/update_form.h"

namespace update_main {
namespace {

using namespace std::chrono_literals;

constexpr std::string_view kApplicationCaption = "Kelvane";
// Time the application has to let its file go once it has been asked to close.
constexpr auto kApplicationClosePause = 250ms;
// An application that handles no messages must not hold the updater.
constexpr auto kApplicationMessageTimeout = 5s;
constexpr std::string_view kReplacementProgram = "runupdate.exe";

}  // namespace

bool TUpdateForm::ReplaceRunningApplication(const Component& component) {
  const bool was_running = platform::AskWindowToClose(std::string(kApplicationCaption),
                                                      kApplicationMessageTimeout);
  if (was_running) std::this_thread::sleep_for(kApplicationClosePause);
  if (!platform::ReplaceFileWith(std::string(kDownloadFile), std::string(component.file_name))) {
    RunMessage = component.failure_text;
    return false;
  }
  if (was_running) platform::StartProgram(std::string(component.file_name));
  SetSubPosition(kComponentSubSteps);
  return true;
}

bool TUpdateForm::HandOverToReplacementProgram() {
  // "tempdata" holds the verified new updater; the replacement program puts
  // it in place once this process has ended.
  platform::StartProgram(std::string(kReplacementProgram));
  application_.Terminate();
  SetSubPosition(kComponentSubSteps);
  RunMessage = texts::kHandOverMarker;
  return false;
}

}  // namespace update_main
