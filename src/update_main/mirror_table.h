// The mirrors read from the mirror list, in file order: the table that the
// search shrinks and that the fetches address by index.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "update_main/step_operations.h"

namespace update_main {

// Each field holds at most kMirrorFieldCharacters characters.
inline constexpr std::size_t kMirrorFieldCharacters = 255;
// Indices travel as 8 bits with kNoMirror meaning none: only this many
// mirrors can be named.
inline constexpr std::size_t kMaxMirrors = kNoMirror;

struct MirrorRecord {
  std::string name;
  std::string base;
  std::string ask_url;
  std::string dl_url;
};

class MirrorTable {
 public:
  std::size_t Count() const { return entries_.size(); }
  const MirrorRecord& At(MirrorIndex index) const { return entries_.at(index); }
  bool Empty() const { return entries_.empty(); }

  MirrorRecord& Append() { return entries_.emplace_back(); }
  // Later entries move one place towards the front.
  void Remove(MirrorIndex index) { entries_.erase(entries_.begin() + index); }
  void Clear() { entries_.clear(); }

 private:
  std::vector<MirrorRecord> entries_;
};

}  // namespace update_main
