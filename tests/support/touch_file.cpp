// The stand-in program: leaves the marker in its current folder, which shows
// that it ran, and where.
#include "support/touch_file.h"

#include <fstream>

int main() {
  std::ofstream marker(testing_support::kTouchMarker);
  return marker ? 0 : 1;
}
