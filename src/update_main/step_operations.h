// The nine step operations of the run, as a table: the window fills it with
// its own methods, and the tests put substitutes in their place to drive the
// sequence through every outcome.
#pragma once

#include <cstdint>
#include <functional>

namespace update_main {

// A position in the mirror table; kNoMirror names none.
using MirrorIndex = std::uint8_t;
inline constexpr MirrorIndex kNoMirror = 255;

struct StepOperations {
  std::function<bool()> LoadMirrorList;
  // Drops the mirror at the index unless it is kNoMirror, then writes the
  // chosen mirror's index back.
  std::function<bool(MirrorIndex&)> FindAvailableMirror;
  std::function<bool(MirrorIndex)> VerifyMirror;
  std::function<bool(MirrorIndex)> UpdateMirrorList;
  std::function<bool(MirrorIndex)> UpdateUpdater;
  std::function<bool(MirrorIndex)> UpdateApplication;
  std::function<bool(MirrorIndex)> UpdateCategoryList;
  std::function<bool(MirrorIndex)> UpdateIconArchive;
  std::function<bool()> UnpackIconArchive;
};

}  // namespace update_main
