// A fresh temporary folder per test, removed afterwards.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

namespace test_support {

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "pellmoor-test-XXXXXX").string();
    char* p = ::mkdtemp(tmpl.data());
    path_ = p ? p : "";
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
