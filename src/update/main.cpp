// The program's entry: one copy at a time, then the window, placed next to
// the taskbar, and the message loop until the program is asked to end.
#include "platform/file_system.h"
#include "platform/single_instance.h"
#include "platform/ui.h"
#include "update_main/texts.h"
#include "update_main/update_form.h"

namespace {

constexpr const char* kInstanceName = "KelvaneUpdate";

}  // namespace

int main() {
  // Held until the process ends, however it ends.
  const platform::SingleInstance instance(kInstanceName);
  if (instance.AnotherInstanceRuns()) return 0;

  const auto application = platform::ui::CreateNativeApplication();
  application->SetTitle(update_main::texts::kApplicationTitle);

  update_main::TUpdateForm form(*application, platform::ExecutableFolder());
  update_main::UpdateForm = &form;
  form.window().SetTop(form.ComputeWindowTop());
  form.window().SetLeft(form.ComputeWindowLeft());

  application->Run(form.window());
  return 0;
}
