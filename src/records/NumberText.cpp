#include "records/NumberText.h"

#include <algorithm>

namespace {

// Wider than any text line; a width beyond it is a caller's slip, not a request for memory.
constexpr int MAX_NUMBER_WIDTH = 255;

// |v| without the overflow of the most negative value.
std::uint32_t Magnitude(std::int32_t v) {
  return v < 0 ? 0u - static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
}

// The digits of |v|, at least nMin of them, with "-" in front of a negative value.
std::string SignedDigits(std::int32_t v, int nMin) {
  std::string digits;
  for (std::uint32_t m = Magnitude(v); m != 0; m /= 10) digits.insert(digits.begin(), static_cast<char>('0' + m % 10));
  if (static_cast<int>(digits.size()) < nMin) digits.insert(0, static_cast<std::size_t>(nMin) - digits.size(), '0');
  return v < 0 ? "-" + digits : digits;
}

}  // namespace

void FormatTime(std::string& out, std::int32_t nHundredths) {
  const std::int32_t nSeconds = nHundredths / 100;
  std::string hundredths;
  NumberToText(hundredths, nHundredths % 100, 2, 1, 0);
  out = SignedDigits(nSeconds / 60, 2) + ":" + SignedDigits(nSeconds % 60, 2) + "." + hundredths;
}

int CountDigits(std::int32_t nValue) {
  int n = 1;
  for (std::int32_t v = nValue / 10; v != 0 && n < 10; v /= 10) ++n;
  return n;
}

void NumberToText(std::string& out, std::int32_t nValue, int nWidth, int bKeepZeros, int bPlus) {
  const int nDigits = CountDigits(nValue);
  if (nWidth < nDigits) nWidth = nDigits;
  nWidth = std::min(nWidth, MAX_NUMBER_WIDTH);
  std::string text(static_cast<std::size_t>(nWidth), '0');
  std::uint32_t m = Magnitude(nValue);
  for (int i = nWidth - 1; i >= 0 && m != 0; --i, m /= 10)
    text[static_cast<std::size_t>(i)] = static_cast<char>('0' + m % 10);
  if (!bKeepZeros) {
    for (std::size_t i = 0; i + 1 < text.size() && text[i] == '0'; ++i) text[i] = ' ';
  }
  if (nValue < 0) {
    text.insert(0, 1, '-');
  } else if (bPlus) {
    text.insert(0, 1, '+');
  }
  out = std::move(text);
}

int CountValue(const cVector<std::int32_t>& values, std::int32_t nValue) {
  return static_cast<int>(std::count(values.begin(), values.end(), nValue));
}
