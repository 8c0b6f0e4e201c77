#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace testing_support {

TempFolder::TempFolder() {
  std::random_device entropy;
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string stem = test != nullptr ? test->name() : "test";
  for (;;) {
    path_ = std::filesystem::temp_directory_path() /
            ("kelvane-" + stem + "-" + std::to_string(entropy()));
    if (std::filesystem::create_directory(path_)) break;
  }
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::File(std::string_view name) const { return (path_ / name).string(); }

std::string TempFolder::Write(std::string_view name, std::string_view bytes) const {
  const std::string file = File(name);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  EXPECT_TRUE(out) << "could not write " << file;
  return file;
}

}  // namespace testing_support
