// The reporting operations: what each paints at once and what shows only at
// the next paint, the bars' ranges and the failure display.
#include <gtest/gtest.h>

#include "update_form_fixture.h"
#include "update_main/bar_colors.h"
#include "update_main/texts.h"

namespace update_main {
namespace {

using ReportingTest = UpdateFormTest;

TEST_F(ReportingTest, AStepsBarIsPaintedAtOnceAndItsLabelAtTheNextPaint) {
  TUpdateForm& form = CreateForm();
  const std::size_t before = Window().paints().size();
  form.ReportStep(3, "Étape trois", "Étape trois");
  ASSERT_EQ(Window().paints().size(), before + 1);
  const auto& first = Window().paints().back();
  EXPECT_EQ(first.Of(form.MainBar).position, 3);
  EXPECT_EQ(first.Of(form.MainLabel).text, texts::kWaiting);
  EXPECT_EQ(form.MainLabel.Caption(), "Étape trois");
  EXPECT_EQ(form.JvMemo.Lines().back(), "Étape trois");

  form.ReportSubStep(1, "Demande du hash", "- Demande du hash");
  const auto& second = Window().paints().back();
  EXPECT_EQ(second.Of(form.MainLabel).text, "Étape trois");
  EXPECT_EQ(second.Of(form.SecondaryBar).position, 1);
  EXPECT_EQ(second.Of(form.SecondaryLabel).text, texts::kWaiting);
  EXPECT_EQ(form.JvMemo.Lines().back(), "- Demande du hash");

  // Messages flowing paint what is pending too.
  application_.ProcessMessages();
  EXPECT_EQ(Window().paints().back().Of(form.SecondaryLabel).text, "Demande du hash");
}

TEST_F(ReportingTest, SubStepBarsKeepTheirPositionWithinTheirMaximum) {
  TUpdateForm& form = CreateForm();
  form.MarkSubStepsFailed(1);
  form.StartSubSteps(2);
  EXPECT_EQ(form.SecondaryBar.Max(), 2);
  EXPECT_EQ(form.SecondaryBar.Position(), 0);
  EXPECT_EQ(form.SecondaryBar.BarColorFrom(), kNormalColors.from) << "green again";
  EXPECT_EQ(form.SecondaryBar.BarColorTo(), kNormalColors.to);

  form.ReportSubStep(6, "Six", "- Six");
  EXPECT_EQ(form.SecondaryBar.Position(), 2) << "a full bar";
  EXPECT_EQ(Window().paints().back().Of(form.SecondaryBar).position, 2);

  form.StartSubSteps(6);
  form.SetSubPosition(5);
  form.SecondaryBar.SetMax(3);
  EXPECT_EQ(form.SecondaryBar.Position(), 3) << "a lower maximum takes the position down";

  form.MarkSubStepsFailed(6);
  EXPECT_EQ(form.SecondaryBar.Position(), 3);
  EXPECT_EQ(Window().paints().back().Of(form.SecondaryBar).color_from, kFailureColors.from);
  EXPECT_EQ(Window().paints().back().Of(form.SecondaryBar).color_to, kFailureColors.to);
}

TEST_F(ReportingTest, TheFailureDisplayPaintsBothBarsRedBeforeTheLabelChanges) {
  for (const bool fill : {false, true}) {
    TUpdateForm& form = CreateForm();
    form.ReportStep(5, "Cinq", "Cinq");
    form.StartSubSteps(6);
    form.SetSubPosition(2);
    const std::size_t before = Window().paints().size();

    form.ShowRunFailure("Texte de l'échec", fill);
    const auto& paints = Window().paints();
    ASSERT_EQ(paints.size(), before + 2);
    const auto& main_painted = paints[before].Of(form.MainBar);
    EXPECT_EQ(main_painted.position, 9);
    EXPECT_EQ(main_painted.color_from, kFailureColors.from);
    EXPECT_EQ(paints[before].Of(form.SecondaryBar).color_from, kNormalColors.from)
        << "the sub-step bar turns red with the second paint";
    const auto& sub_painted = paints[before + 1].Of(form.SecondaryBar);
    EXPECT_EQ(sub_painted.color_from, kFailureColors.from);
    EXPECT_EQ(sub_painted.position, fill ? 6 : 2);
    EXPECT_EQ(paints[before + 1].Of(form.MainLabel).text, "Cinq");
    EXPECT_EQ(form.MainLabel.Caption(), texts::kRunFailed);
    EXPECT_EQ(form.JvMemo.Lines().back(), "Texte de l'échec") << "no prefix";
    DestroyForm();
  }
}

TEST_F(ReportingTest, TheLogFillsWhileHiddenAndShowsItsLastLineWhenShown) {
  TUpdateForm& form = CreateForm();
  ASSERT_FALSE(form.JvMemo.Visible());
  for (int i = 0; i < 5; ++i) form.ReportStep(i, "Étape", "Étape " + std::to_string(i));
  EXPECT_EQ(form.JvMemo.Lines().size(), 5u);
  form.DetailsCheck.Click();
  EXPECT_TRUE(form.JvMemo.Visible());
  EXPECT_EQ(Window().memo()->scrolled_lines().back(), 4);
}

}  // namespace
}  // namespace update_main
