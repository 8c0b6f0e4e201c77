// The stand-in program of the tests that start programs, and its sign of
// life: a file of this name in its current folder.
#pragma once

namespace testing_support {

inline constexpr const char* kTouchMarker = "touched";

}  // namespace testing_support
