// A program started by a test, ended by the test if it is still running when
// the test is done with it.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace testing_support {

class ChildProcess {
 public:
  // Starts `program` with no arguments in `working_folder`, its standard
  // output and error into `output_file`, its input from nothing.
  ChildProcess(const std::string& program, const std::string& working_folder,
               const std::string& output_file);
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  bool started() const;
  // The exit code, or nothing when it still runs after `timeout`.
  std::optional<int> WaitFor(std::chrono::milliseconds timeout);
  // Ends it, if it still runs, and waits for its end.
  void Kill();

 private:
  struct Process;
  std::unique_ptr<Process> process_;
  std::optional<int> exit_code_;
};

}  // namespace testing_support
