// The sample project for tests that run the whole game: made once per ctest run into the
// folder PELLMOOR_TEST_SAMPLE names (a CTest fixture), or once per test program by the
// sample-project maker (PELLMOOR_BINARY_DIR/make-sample) when that is unset, then copied
// fresh for every run. The test program must depend on make-sample.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>

namespace test_support {

// The pristine project (never run in); empty when the maker failed.
inline const std::filesystem::path& PristineSampleProject() {
  namespace fs = std::filesystem;
  static std::once_flag once;
  static fs::path made;
  static struct Cleanup {
    fs::path root;
    ~Cleanup() {
      std::error_code ec;
      if (!root.empty()) fs::remove_all(root, ec);
    }
  } cleanup;
  std::call_once(once, [] {
    if (const char* shared = std::getenv("PELLMOOR_TEST_SAMPLE"); shared && *shared) {
      if (fs::is_directory(shared)) made = shared;
      return;
    }
    std::string tmpl = (fs::temp_directory_path() / "pellmoor-sample-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) return;
    cleanup.root = tmpl;
    const fs::path dir = fs::path(tmpl) / "game";
    const std::string cmd =
        "\"" + (fs::path(PELLMOOR_BINARY_DIR) / "make-sample").string() + "\" \"" + dir.string() + "\" > /dev/null";
    if (std::system(cmd.c_str()) == 0) made = dir;
  });
  return made;
}

// A fresh copy in game (made or filled); with withData, "default\" is also copied to
// "data\" as the player's first start does. False when there is no sample project.
inline bool CopySampleProject(const std::filesystem::path& game, bool withData) {
  namespace fs = std::filesystem;
  const fs::path& pristine = PristineSampleProject();
  if (pristine.empty()) return false;
  std::error_code ec;
  fs::copy(pristine, game, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
  if (!ec && withData) fs::copy(game / "default", game / "data", fs::copy_options::recursive, ec);
  return !ec;
}

}  // namespace test_support
