// The two colour pairs of the progress bars: green while all goes well, red
// once something has failed.
#pragma once

#include "platform/ui.h"

namespace update_main {

struct BarColors {
  platform::ui::Color from;  // along the bar's middle line
  platform::ui::Color to;    // at its top and bottom edges
};

inline constexpr BarColors kNormalColors = {platform::ui::Rgb(41, 211, 49),
                                            platform::ui::Rgb(173, 239, 173)};
inline constexpr BarColors kFailureColors = {platform::ui::Rgb(201, 54, 49),
                                             platform::ui::Rgb(240, 166, 173)};

}  // namespace update_main
