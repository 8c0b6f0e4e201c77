// The guard that lets only one copy of the updater run at a time: a name
// claimed for the life of the process and released by the system however
// the process ends.
#pragma once

#include <memory>
#include <string>

namespace platform {

class SingleInstance {
 public:
  // Claims `name`. A claim that fails for any other reason than another
  // process holding it leaves this process without a guard.
  explicit SingleInstance(const std::string& name);
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;
  ~SingleInstance();

  // True when the name was held already, by another process or by another
  // claim of this one.
  bool AnotherInstanceRuns() const { return another_instance_runs_; }

  // True while some process, this one included, holds `name`; the query
  // itself claims nothing that outlives it.
  static bool IsHeld(const std::string& name);

 private:
  struct Claim;
  std::unique_ptr<Claim> claim_;
  bool another_instance_runs_ = false;
};

}  // namespace platform
