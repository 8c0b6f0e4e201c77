// TUpdateForm, the updater's one window: its controls, its handlers, the
// details layout and the close rules; the run it starts and the reporting
// operations the run uses are its methods too (run_sequence.cpp,
// reporting.cpp, window_placement.cpp).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/http_client.h"
#include "platform/icmp_echo.h"
#include "platform/ui.h"
#include "platform/zip_archive.h"
#include "update_main/component_table.h"
#include "update_main/mirror_table.h"
#include "update_main/settings_storage.h"
#include "update_main/step_operations.h"
#include "update_main/sub_step.h"
#include "update_main/window_waiter.h"

namespace update_main {

class TUpdateForm {
 public:
  // Creates the window and its controls in `application`, reads the
  // settings file in `program_folder` (which ends with a separator) and
  // runs FormCreate, whose errors go to the error box.
  TUpdateForm(platform::ui::Application& application, std::string program_folder);
  TUpdateForm(const TUpdateForm&) = delete;
  TUpdateForm& operator=(const TUpdateForm&) = delete;
  ~TUpdateForm();

  platform::ui::Form& window() { return *window_; }
  const std::string& program_folder() const { return program_folder_; }

  // Handlers.
  void FormCreate();
  void DetailsCheckClick();
  void AutoCloseCheckClick();
  void CloseButtonClick();
  bool FormCloseQuery();
  void TimerTimer();
  void ApplyDetailsLayout();

  // Placement next to the taskbar for the window's current outer size.
  int ComputeWindowTop() const;
  int ComputeWindowLeft() const;

  // The run.
  void PerformUpdate();

  // The run's steps.
  bool LoadMirrorList();
  bool FindAvailableMirror(MirrorIndex& previous_mirror);
  bool VerifyMirror(MirrorIndex mirror);
  bool UpdateMirrorList(MirrorIndex mirror);
  bool UpdateUpdater(MirrorIndex mirror);
  bool UpdateApplication(MirrorIndex mirror);
  bool UpdateCategoryList(MirrorIndex mirror);
  bool UpdateIconArchive(MirrorIndex mirror);
  bool UnpackIconArchive();

  // Brings one file of the installation, in the current folder, up to date
  // from the mirror. False with RunMessage empty: the mirror's answer was of
  // no use; false with a text: the file could not be put in place. Throws
  // when "tempdata" cannot be created.
  bool ComponentUpdate(const Component& component, MirrorIndex mirror);

  // The last sub-step of the application's and the updater's own update.
  bool ReplaceRunningApplication(const Component& component);
  bool HandOverToReplacementProgram();

  // The mirror's reply to `key`; empty when the fetch failed.
  std::string AskMirror(MirrorIndex mirror, std::string_view key);
  // Writes the body of the mirror's `file_name` into `target`; a failed
  // fetch leaves what arrived and says nothing.
  void DownloadFromMirror(MirrorIndex mirror, std::string_view file_name,
                          platform::http::BodySink& target);

  // Reporting.
  void RepaintNow();
  void AddLogLine(std::string_view text);
  void ReportStep(int position, std::string_view label, std::string_view line);
  void StartSubSteps(int maximum);
  void SetSubPosition(int position);
  void ReportSubStep(int position, std::string_view label, std::string_view line);
  void ReportSubStep(int position, const SubStep& step) {
    ReportSubStep(position, step.label, step.line);
  }
  void MarkSubStepsFailed(int position);
  void ShowRunFailure(std::string_view text, bool fill_sub_steps);

 private:
  // Declared before the controls, which are made on the window.
  platform::ui::Application& application_;
  std::string program_folder_;
  std::unique_ptr<platform::ui::Form> window_;

 public:
  // Controls and components, by the names the rest of the program uses.
  platform::ui::Label& MainLabel;
  platform::ui::ProgressBar& MainBar;
  platform::ui::Label& SecondaryLabel;
  platform::ui::ProgressBar& SecondaryBar;
  // In tab order: "Détails", "Fermer", the log, "Fermer quand terminé".
  platform::ui::CheckBox& DetailsCheck;
  platform::ui::Button& CloseButton;
  platform::ui::Memo& JvMemo;
  platform::ui::CheckBox& AutoCloseCheck;
  platform::ui::Timer& Timer;
  SettingsStorage JvAppXMLFileStorage;
  platform::http::HttpClient HttpCli;
  platform::IcmpEcho Ping;

  // The reachability test of a host: the number of echo replies. The tests
  // put a substitute here.
  std::function<int(const std::string&)> PingHost;
  // Who answers for an archive entry that fails: the system's box unless a
  // test gives its own.
  void SetEntryPrompt(platform::zip::EntryFailurePrompt* prompt) { entry_prompt_ = prompt; }

  // The mirrors of the list that the run has not dropped yet.
  MirrorTable Mirrors;
  // What a failing step leaves for the user, or the hand-over marker.
  std::string RunMessage;
  // Set by "Fermer", never reset; the only way to let the window close.
  bool CloseAllowed = false;
  // The run's operations; see StepOperations.
  StepOperations Steps;

 private:
  platform::zip::EntryFailurePrompt& EntryPrompt();

  // HttpCli keeps a reference to it and uses it only once the run fetches.
  WindowWaiter http_waiter_;
  platform::zip::EntryFailurePrompt* entry_prompt_ = nullptr;
};

// The one window, for the code that runs outside it.
extern TUpdateForm* UpdateForm;

}  // namespace update_main
