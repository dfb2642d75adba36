// A fresh temporary folder per test, removed afterwards; the test fails when none can be made.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace test_support {

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "pellmoor-test-XXXXXX").string();
    // A test that cannot have its own folder fails: an empty path would put its files
    // into the working directory.
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("no temporary folder: " + tmpl);
    path_ = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace test_support
