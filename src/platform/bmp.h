// Windows bitmap files (.bmp): our own strict reader and a small writer.
// The reader gives what the game expects of a device-independent bitmap: width,
// height, bits per pixel, the padded bytes per row, the rows bottom-up, and the colour
// table. It reads uncompressed 1, 4, 8, 16, 24 and 32-bit files (16 and 32 bits with
// or without colour masks, given as 24 bits), 8 and 4-bit run-length files, the old
// 12-byte header and top-down files; it refuses anything else or anything inconsistent
// with a reason, and never reads outside the data.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plat::bmp {

struct RgbQuad {
  std::uint8_t blue = 0, green = 0, red = 0, reserved = 0;
};

struct Bitmap {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;            // 1, 4, 8 or 24 (16 and 32-bit files are given as 24)
  int stride = 0;                  // bytes per row, padded to 4
  std::vector<std::uint8_t> bits;  // height rows of stride bytes, the bottom row first
  std::vector<RgbQuad> colors;     // the colour table (empty at 24 bits)

  // Row y counted from the top of the picture.
  const std::uint8_t* topRow(int y) const { return bits.data() + static_cast<std::size_t>(height - 1 - y) * stride; }
  std::uint8_t* topRow(int y) { return bits.data() + static_cast<std::size_t>(height - 1 - y) * stride; }
  // The palette index of pixel (x, y from the top) of a 1, 4 or 8-bit bitmap.
  std::uint8_t indexAt(int x, int y) const;
  // The colour of pixel (x, y from the top) as 0x00RRGGBB (indices through the table;
  // an index beyond the table is black).
  std::uint32_t rgbAt(int x, int y) const;
};

// Decodes a file image; nullopt with a reason when it is not a bitmap we accept.
std::optional<Bitmap> decode(std::span<const std::uint8_t> file, std::string* why = nullptr);
// Reads and decodes a file named in the program's path form.
std::optional<Bitmap> load(std::string_view programPath, std::string* why = nullptr);

// Encodes a bitmap (1, 4, 8 or 24 bits, bottom-up) as a file image.
std::string encode(const Bitmap& b);
// A 24-bit file image of 0x00RRGGBB pixels given top row first.
std::string encodeRgb(int width, int height, const std::uint32_t* rgbTopDown);

}  // namespace plat::bmp
