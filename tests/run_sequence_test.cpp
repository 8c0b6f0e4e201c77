// The run's order, its way back to the mirror search and its three ends,
// driven by substitute step operations that play a list of mirrors.
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <vector>

#include "update_form_fixture.h"
#include "update_main/bar_colors.h"
#include "update_main/my_exception.h"
#include "update_main/texts.h"

namespace update_main {
namespace {

// What a step of steps 2 to 7 does with one mirror: true, or false with
// this text left in RunMessage.
struct Result {
  bool ok = true;
  std::string run_message;
};
const Result kOk{};
const Result kMirrorFault{false, ""};

// One mirror of the substitute list: what it answers to each step 2 to 7.
struct FakeMirror {
  std::map<int, Result> results;  // by step number; absent: ok
  bool answers_ping = true;
};

// Plays a mirror list for the run, and records the calls it got.
class FakeMirrors {
 public:
  FakeMirrors(TUpdateForm& form, std::vector<FakeMirror> mirrors)
      : form_(form), mirrors_(std::move(mirrors)) {
    StepOperations& steps = form.Steps;
    steps.LoadMirrorList = [this] {
      calls.push_back("load");
      return load_ok;
    };
    steps.FindAvailableMirror = [this](MirrorIndex& previous) {
      calls.push_back("find " + std::to_string(previous));
      colors_at_search.push_back(form_.SecondaryBar.BarColorFrom());
      if (previous != kNoMirror) mirrors_.erase(mirrors_.begin() + previous);
      for (std::size_t i = 0; i < mirrors_.size(); ++i) {
        if (!mirrors_[i].answers_ping) continue;
        previous = static_cast<MirrorIndex>(i);
        chosen_.push_back(static_cast<int>(i));
        return true;
      }
      return false;
    };
    const auto step = [this](int number) {
      return [this, number](MirrorIndex mirror) {
        calls.push_back(std::to_string(number) + " on " + std::to_string(mirror));
        if (on_step) on_step(number);
        const auto& results = mirrors_.at(mirror).results;
        const auto found = results.find(number);
        const Result result = found == results.end() ? kOk : found->second;
        if (!result.run_message.empty()) form_.RunMessage = result.run_message;
        return result.ok;
      };
    };
    steps.VerifyMirror = step(2);
    steps.UpdateMirrorList = step(3);
    steps.UpdateUpdater = step(4);
    steps.UpdateApplication = step(5);
    steps.UpdateCategoryList = step(6);
    steps.UpdateIconArchive = step(7);
    steps.UnpackIconArchive = [this] {
      calls.push_back("unpack");
      if (!unpack.ok) form_.RunMessage = unpack.run_message;
      return unpack.ok;
    };
  }

  bool load_ok = true;
  Result unpack;
  std::function<void(int)> on_step;
  std::vector<std::string> calls;
  std::vector<platform::ui::Color> colors_at_search;

 private:
  TUpdateForm& form_;
  std::vector<FakeMirror> mirrors_;
  std::vector<int> chosen_;
};

const std::vector<std::string> kStepLines = {
    std::string(texts::kStepLoadMirrorList),    std::string(texts::kStepFindMirror),
    std::string(texts::kStepVerifyMirrorLog),   std::string(texts::kStepUpdateMirrorList),
    std::string(texts::kStepUpdateUpdater),     std::string(texts::kStepUpdateApplication),
    std::string(texts::kStepUpdateCategoryList), std::string(texts::kStepUpdateIconArchive),
    std::string(texts::kStepUnpackIcons),
};

class RunSequenceTest : public UpdateFormTest {
 protected:
  void ExpectFailureDisplay(TUpdateForm& form, std::string_view text) {
    EXPECT_EQ(form.MainLabel.Caption(), texts::kRunFailed);
    EXPECT_EQ(form.MainBar.Position(), form.MainBar.Max());
    EXPECT_EQ(form.MainBar.BarColorFrom(), kFailureColors.from);
    EXPECT_EQ(form.MainBar.BarColorTo(), kFailureColors.to);
    EXPECT_EQ(form.SecondaryBar.BarColorFrom(), kFailureColors.from);
    ASSERT_FALSE(form.JvMemo.Lines().empty());
    EXPECT_EQ(form.JvMemo.Lines().back(), text);
    EXPECT_FALSE(application_.quit_posted()) << "a failed run never ends the program by itself";
  }
};

TEST_F(RunSequenceTest, AllCurrentWithOneMirror) {
  TUpdateForm& form = CreateForm();
  FakeMirrors mirrors(form, {FakeMirror{}});
  form.PerformUpdate();

  std::vector<std::string> expected_log = kStepLines;
  expected_log.emplace_back(texts::kRunSucceeded);
  EXPECT_EQ(form.JvMemo.Lines(), expected_log);
  EXPECT_EQ(mirrors.calls,
            (std::vector<std::string>{"load", "find 255", "2 on 0", "3 on 0", "4 on 0", "5 on 0",
                                      "6 on 0", "7 on 0", "unpack"}));
  EXPECT_EQ(form.MainBar.Position(), 9);
  EXPECT_EQ(form.MainBar.BarColorFrom(), kNormalColors.from);
  EXPECT_EQ(form.MainLabel.Caption(), texts::kRunSucceeded);
  EXPECT_FALSE(application_.quit_posted()) << "\"Fermer quand terminé\" is not ticked";
}

TEST_F(RunSequenceTest, AMirrorThatLetsTheRunDownIsDroppedAndTheNextOneTried) {
  TUpdateForm& form = CreateForm();
  FakeMirrors mirrors(form, {FakeMirror{{{2, kMirrorFault}}}, FakeMirror{}});
  // A failed step turns the sub-step bar red; the next search starts green.
  mirrors.on_step = [&form](int step) {
    if (step == 2) form.MarkSubStepsFailed(2);
  };
  form.PerformUpdate();
  EXPECT_EQ(mirrors.calls,
            (std::vector<std::string>{"load", "find 255", "2 on 0", "find 0", "2 on 0", "3 on 0",
                                      "4 on 0", "5 on 0", "6 on 0", "7 on 0", "unpack"}));
  EXPECT_EQ(mirrors.colors_at_search,
            (std::vector<platform::ui::Color>{kNormalColors.from, kNormalColors.from}));
  const auto& log = form.JvMemo.Lines();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[3], texts::kStepFindMirror) << "the search shows again after the verification";
  EXPECT_EQ(log.back(), texts::kRunSucceeded);
}

TEST_F(RunSequenceTest, EveryStepFromTwoToSevenGoesBackToTheSearchOnAMirrorFault) {
  for (int failing_step = 2; failing_step <= 7; ++failing_step) {
    TUpdateForm& form = CreateForm();
    FakeMirrors mirrors(form, {FakeMirror{{{failing_step, kMirrorFault}}}, FakeMirror{}});
    form.PerformUpdate();
    EXPECT_EQ(mirrors.calls[2 + failing_step - 1], "find 0") << "step " << failing_step;
    EXPECT_EQ(form.JvMemo.Lines().back(), texts::kRunSucceeded) << "step " << failing_step;
    DestroyForm();
  }
}

TEST_F(RunSequenceTest, WhenNoMirrorIsLeftTheSearchFails) {
  TUpdateForm& form = CreateForm();
  FakeMirrors mirrors(form, {FakeMirror{{{6, kMirrorFault}}}});
  form.PerformUpdate();
  EXPECT_EQ(mirrors.calls.back(), "find 0");
  ExpectFailureDisplay(form, texts::kNoMirrorAvailable);
}

TEST_F(RunSequenceTest, TheChainRunsAtMostOncePerMirror) {
  TUpdateForm& form = CreateForm();
  const FakeMirror refuses_verification{{{2, kMirrorFault}}};
  FakeMirrors mirrors(form, std::vector<FakeMirror>(5, refuses_verification));
  form.PerformUpdate();
  EXPECT_EQ(std::count(mirrors.calls.begin(), mirrors.calls.end(), "2 on 0"), 5);
  ExpectFailureDisplay(form, texts::kNoMirrorAvailable);
}

TEST_F(RunSequenceTest, ALocalFaultEndsTheRunWithItsText) {
  for (int failing_step = 3; failing_step <= 7; ++failing_step) {
    TUpdateForm& form = CreateForm();
    const std::string text = "Impossible de remplacer le fichier " + std::to_string(failing_step);
    FakeMirrors mirrors(form,
                        {FakeMirror{{{failing_step, Result{false, text}}}}, FakeMirror{}});
    form.SecondaryBar.SetMax(6);
    mirrors.on_step = [&form](int) { form.SetSubPosition(4); };
    form.PerformUpdate();
    EXPECT_EQ(std::count(mirrors.calls.begin(), mirrors.calls.end(), "find 255"), 1);
    EXPECT_EQ(mirrors.calls.size(), 2u + static_cast<std::size_t>(failing_step - 1))
        << "no other mirror tried, step " << failing_step;
    ExpectFailureDisplay(form, text);
    EXPECT_EQ(form.SecondaryBar.Position(), 4) << "the sub-step bar keeps its place";
    EXPECT_EQ(form.RunMessage, text) << "RunMessage keeps its last value";
    DestroyForm();
  }
}

TEST_F(RunSequenceTest, TheHandOverMarkerEndsTheRunSilentlyAfterTheUpdatersStepOnly) {
  TUpdateForm& form = CreateForm();
  FakeMirrors mirrors(form, {FakeMirror{{{4, Result{false, "runupdate"}}}}});
  form.PerformUpdate();
  EXPECT_EQ(mirrors.calls.back(), "4 on 0");
  EXPECT_EQ(form.JvMemo.Lines().back(), texts::kStepUpdateUpdater);
  EXPECT_EQ(form.MainBar.Position(), 4);
  EXPECT_EQ(form.MainBar.BarColorFrom(), kNormalColors.from);
  EXPECT_EQ(form.MainLabel.Caption(), texts::kStepUpdateUpdater);
  DestroyForm();

  // Anywhere else, or in another letter case, it is a failure text like any other.
  const struct {
    int step;
    std::string text;
  } others[] = {{4, "RunUpdate"}, {5, "runupdate"}, {3, "runupdate "}};
  for (const auto& other : others) {
    TUpdateForm& again = CreateForm();
    FakeMirrors fake(again, {FakeMirror{{{other.step, Result{false, other.text}}}}});
    again.PerformUpdate();
    ExpectFailureDisplay(again, other.text);
    DestroyForm();
  }
}

TEST_F(RunSequenceTest, TheFixedFailuresOfTheFirstAndLastSteps) {
  {
    TUpdateForm& form = CreateForm();
    FakeMirrors mirrors(form, {FakeMirror{}});
    mirrors.load_ok = false;
    form.PerformUpdate();
    EXPECT_EQ(mirrors.calls, std::vector<std::string>{"load"});
    ExpectFailureDisplay(form, texts::kInvalidMirrorList);
    DestroyForm();
  }
  {
    TUpdateForm& form = CreateForm();
    FakeMirrors mirrors(form, {FakeMirror{}, FakeMirror{}});
    mirrors.unpack = Result{false, "Le dossier des icônes est introuvable"};
    form.PerformUpdate();
    EXPECT_EQ(mirrors.calls.back(), "unpack");
    EXPECT_EQ(std::count(mirrors.calls.begin(), mirrors.calls.end(), "find 0"), 0)
        << "the unpacking never goes back to the search";
    ExpectFailureDisplay(form, "Le dossier des icônes est introuvable");
  }
}

TEST_F(RunSequenceTest, ErrorsEndInTheFailureDisplay) {
  const struct {
    const char* what;
    std::function<void()> raise;
    std::string shown;
    bool sub_steps_full;
  } cases[] = {
      {"EMyException", [] { throw EMyException("Texte de l'erreur"); }, "Texte de l'erreur",
       false},
      {"another error", [] { throw std::runtime_error("tempdata"); },
       std::string(texts::kUnknownError), true},
      {"not an exception class", [] { throw 42; }, std::string(texts::kUnknownError), true},
  };
  for (const auto& one : cases) {
    TUpdateForm& form = CreateForm();
    FakeMirrors mirrors(form, {FakeMirror{}});
    form.StartSubSteps(6);
    form.SetSubPosition(2);
    mirrors.on_step = [&one](int step) {
      if (step == 5) one.raise();
    };
    form.PerformUpdate();
    ExpectFailureDisplay(form, one.shown);
    EXPECT_EQ(form.SecondaryBar.Position(), one.sub_steps_full ? 6 : 2) << one.what;
    DestroyForm();
  }
}

TEST_F(RunSequenceTest, AStepThatDoesNotExistFailsTheRunInsteadOfPassing) {
  TUpdateForm& form = CreateForm();
  FakeMirrors mirrors(form, {FakeMirror{}});
  form.Steps.UpdateIconArchive = nullptr;
  form.PerformUpdate();
  ExpectFailureDisplay(form, texts::kUnknownError);
}

TEST_F(RunSequenceTest, RunMessageIsClearedWhenTheRunStarts) {
  TUpdateForm& form = CreateForm();
  FakeMirrors mirrors(form, {FakeMirror{{{3, kMirrorFault}}}, FakeMirror{}});
  form.RunMessage = "left from before";
  form.PerformUpdate();
  EXPECT_EQ(form.JvMemo.Lines().back(), texts::kRunSucceeded);
}

TEST_F(RunSequenceTest, AutoCloseIsReadAtTheEndOfASuccessfulRun) {
  const struct {
    const char* what;
    bool ticked_at_start;
    int toggle_at_step;  // 0: never
    bool run_fails;
    bool ends_program;
  } cases[] = {
      {"ticked", true, 0, false, true},
      {"not ticked", false, 0, false, false},
      {"ticked during the run", false, 5, false, true},
      {"unticked during the run", true, 6, false, false},
      {"ticked, but the run fails", true, 0, true, false},
  };
  for (const auto& one : cases) {
    platform::headless::HeadlessApplication application;
    TUpdateForm form(application, ProgramFolder());
    form.AutoCloseCheck.SetChecked(one.ticked_at_start);
    FakeMirrors mirrors(form, {FakeMirror{}});
    if (one.run_fails) mirrors.unpack = Result{false, "raté"};
    mirrors.on_step = [&form, &one](int step) {
      if (step == one.toggle_at_step) form.AutoCloseCheck.Click();
    };
    form.PerformUpdate();
    EXPECT_EQ(application.quit_posted(), one.ends_program) << one.what;
  }
}

}  // namespace
}  // namespace update_main
