#include "update_main/update_form.h"

#include <utility>

#include "update_main/bar_colors.h"
#include "update_main/texts.h"

namespace update_main {

TUpdateForm* UpdateForm = nullptr;

namespace {

using platform::ui::Bounds;

constexpr std::string_view kFormClassName = "TUpdateForm";
constexpr int kClientWidth = 361;
constexpr int kClientHeight = 217;

constexpr Bounds kMainLabelBounds = {8, 8, 68, 13};
constexpr Bounds kMainBarBounds = {8, 27, 345, 17};
constexpr Bounds kSecondaryLabelBounds = {8, 50, 68, 13};
constexpr Bounds kSecondaryBarBounds = {8, 69, 345, 17};
constexpr Bounds kMemoBounds = {16, 92, 329, 94};
constexpr Bounds kDetailsCheckBounds = {8, 196, 57, 17};
constexpr Bounds kAutoCloseCheckBounds = {71, 196, 130, 17};
constexpr Bounds kCloseButtonBounds = {272, 192, 81, 21};

constexpr int kMainBarMax = 9;
// Until a step sets its own.
constexpr int kSecondaryBarMax = 100;
constexpr int kTimerIntervalMs = 100;

// The two layouts differ by the log's 96 pixels: the bottom row moves up by
// as much as the window becomes lower.
struct DetailsLayout {
  bool memo_visible;
  int check_boxes_top;
  int button_top;
  int window_height;
};
constexpr DetailsLayout kWithLog = {true, 196, 192, 241};
constexpr DetailsLayout kWithoutLog = {false, 100, 96, 145};

constexpr std::string_view kSettingsFileName = "update.xml";
constexpr std::string_view kDetailsKey = "Details";
constexpr std::string_view kAutoCloseKey = "AutoClose";

std::unique_ptr<platform::ui::Form> CreateWindow(platform::ui::Application& application) {
  return application.CreateForm({std::string(kFormClassName), std::string(texts::kWindowCaption),
                                 kClientWidth, kClientHeight});
}

}  // namespace

TUpdateForm::TUpdateForm(platform::ui::Application& application, std::string program_folder)
    : application_(application),
      program_folder_(std::move(program_folder)),
      window_(CreateWindow(application)),
      MainLabel(window_->AddLabel(kMainLabelBounds, texts::kWaiting)),
      MainBar(window_->AddProgressBar(kMainBarBounds, kMainBarMax, kNormalColors.from,
                                      kNormalColors.to)),
      SecondaryLabel(window_->AddLabel(kSecondaryLabelBounds, texts::kWaiting)),
      SecondaryBar(window_->AddProgressBar(kSecondaryBarBounds, kSecondaryBarMax,
                                           kNormalColors.from, kNormalColors.to)),
      DetailsCheck(window_->AddCheckBox(kDetailsCheckBounds, texts::kDetails)),
      CloseButton(window_->AddButton(kCloseButtonBounds, texts::kClose)),
      JvMemo(window_->AddMemo(kMemoBounds)),
      AutoCloseCheck(window_->AddCheckBox(kAutoCloseCheckBounds, texts::kAutoClose)),
      Timer(window_->AddTimer(kTimerIntervalMs)),
      JvAppXMLFileStorage(program_folder_ + std::string(kSettingsFileName)),
      HttpCli(http_waiter_),
      PingHost([this](const std::string& host) { return Ping.Ping(host); }),
      http_waiter_(application) {
  window_->on_close_query = [this] { return FormCloseQuery(); };
  DetailsCheck.on_click = [this] { DetailsCheckClick(); };
  AutoCloseCheck.on_click = [this] { AutoCloseCheckClick(); };
  CloseButton.on_click = [this] { CloseButtonClick(); };
  Timer.on_timer = [this] { TimerTimer(); };
  Steps.LoadMirrorList = [this] { return LoadMirrorList(); };
  Steps.FindAvailableMirror = [this](MirrorIndex& previous) {
    return FindAvailableMirror(previous);
  };
  Steps.VerifyMirror = [this](MirrorIndex mirror) { return VerifyMirror(mirror); };
  Steps.UpdateMirrorList = [this](MirrorIndex mirror) { return UpdateMirrorList(mirror); };
  Steps.UpdateUpdater = [this](MirrorIndex mirror) { return UpdateUpdater(mirror); };
  Steps.UpdateApplication = [this](MirrorIndex mirror) { return UpdateApplication(mirror); };
  Steps.UpdateCategoryList = [this](MirrorIndex mirror) { return UpdateCategoryList(mirror); };
  Steps.UpdateIconArchive = [this](MirrorIndex mirror) { return UpdateIconArchive(mirror); };
  Steps.UnpackIconArchive = [this] { return UnpackIconArchive(); };
  application_.RunHandler([this] { FormCreate(); });
}

TUpdateForm::~TUpdateForm() {
  if (UpdateForm == this) UpdateForm = nullptr;
}

void TUpdateForm::FormCreate() {
  DetailsCheck.SetChecked(JvAppXMLFileStorage.ReadBoolean(kDetailsKey, false));
  AutoCloseCheck.SetChecked(JvAppXMLFileStorage.ReadBoolean(kAutoCloseKey, false));
  ApplyDetailsLayout();
}

void TUpdateForm::ApplyDetailsLayout() {
  const DetailsLayout& layout = DetailsCheck.Checked() ? kWithLog : kWithoutLog;
  JvMemo.SetVisible(layout.memo_visible);
  AutoCloseCheck.SetTop(layout.check_boxes_top);
  DetailsCheck.SetTop(layout.check_boxes_top);
  CloseButton.SetTop(layout.button_top);
  window_->SetHeight(layout.window_height);
  if (layout.memo_visible) {
    // Shows the last line, however many lines came while the log was hidden.
    JvMemo.ScrollLines(static_cast<int>(JvMemo.Lines().size()) - 1);
  }
  window_->SetTop(ComputeWindowTop());
  window_->SetLeft(ComputeWindowLeft());
  JvAppXMLFileStorage.WriteBoolean(kDetailsKey, DetailsCheck.Checked());
}

void TUpdateForm::DetailsCheckClick() { ApplyDetailsLayout(); }

void TUpdateForm::AutoCloseCheckClick() {
  JvAppXMLFileStorage.WriteBoolean(kAutoCloseKey, AutoCloseCheck.Checked());
}

void TUpdateForm::CloseButtonClick() {
  CloseAllowed = true;
  window_->Close();
}

bool TUpdateForm::FormCloseQuery() { return CloseAllowed; }

void TUpdateForm::TimerTimer() {
  Timer.SetEnabled(false);
  PerformUpdate();
}

}  // namespace update_main
