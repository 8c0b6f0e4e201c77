// runupdate: started by the updater, in the installation's folder, when it
// has downloaded and verified its own new version, just before it ends. A
// program cannot replace its own running file; this one does it for it.
#include "platform/programs.h"
#include "runupdate/hand_over.h"

int main() {
  runupdate::HandOverSettings settings;
  settings.start = platform::StartProgram;
  return static_cast<int>(runupdate::HandOver(settings));
}
