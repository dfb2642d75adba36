// Helpers shared by the record fuzz targets: record images in memory and byte edits of
// well-formed sample files, which reach deeper into a loader than random bytes do.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gamedata/DataFile.h"
#include "gamedata/Record.h"

namespace fuzz {

// The record saved as a data file image in the current format version.
inline std::string SaveImage(cRecord& r) {
  cDataWriter out;
  out.WriteU32(g_nDataVersion);
  r.Save(out);
  return out.Bytes();
}

// Loads an image into the record; true when the whole image read cleanly.
inline bool LoadImage(cRecord& r, std::string bytes) {
  std::unique_ptr<cDataReader> in = OpenLoadData(std::move(bytes));
  r.Load(*in);
  return !in->Failed();
}

// One of the samples with the input's edits applied: the first byte chooses the
// sample, then every three bytes write one byte at a 16-bit position.
inline std::string EditSample(const std::vector<std::string>& samples, const std::uint8_t* data, std::size_t size) {
  std::string file = samples[size ? data[0] % samples.size() : 0];
  if (file.empty()) return file;
  for (std::size_t i = 1; i + 3 <= size; i += 3) {
    const std::size_t nAt = (static_cast<std::size_t>(data[i]) << 8 | data[i + 1]) % file.size();
    file[nAt] = static_cast<char>(data[i + 2]);
  }
  return file;
}

}  // namespace fuzz
