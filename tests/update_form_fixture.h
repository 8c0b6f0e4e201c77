// An update window on the headless toolkit, in a fresh program folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/headless/headless_ui.h"
#include "support/temp_folder.h"
#include "update_main/update_form.h"

namespace update_main {

class UpdateFormTest : public ::testing::Test {
 protected:
  // The folder as the program sees its own: with the trailing separator.
  std::string ProgramFolder() const { return (folder_.path() / "").string(); }
  std::string SettingsPath() const { return folder_.File("update.xml"); }

  TUpdateForm& CreateForm() {
    form_ = std::make_unique<TUpdateForm>(application_, ProgramFolder());
    return *form_;
  }
  platform::headless::HeadlessForm& Window() {
    return static_cast<platform::headless::HeadlessForm&>(form_->window());
  }
  // Destroys the window, as the program's end does.
  void DestroyForm() { form_.reset(); }

  testing_support::TempFolder folder_;
  platform::headless::HeadlessApplication application_;
  std::unique_ptr<TUpdateForm> form_;
};

}  // namespace update_main
