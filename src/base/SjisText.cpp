#include "base/SjisText.h"

#include <cstring>

#include "platform/cp932.h"

namespace {

// True when pos falls between the two bytes of a double-byte character.
bool InsidePair(std::string_view s, std::size_t pos) {
  for (std::size_t i = 0; i < pos;) {
    if (i + 1 < s.size() && plat::cp932::isLead(static_cast<unsigned char>(s[i])) &&
        plat::cp932::isTrail(static_cast<unsigned char>(s[i + 1]))) {
      if (i + 1 == pos) return true;
      i += 2;
    } else {
      ++i;
    }
  }
  return false;
}

}  // namespace

bool IsDbcsPair(const char* p) {
  return plat::cp932::isLead(static_cast<unsigned char>(p[0])) &&
         plat::cp932::isTrail(static_cast<unsigned char>(p[1]));
}

int CountChars(std::string_view text) {
  int n = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (i + 1 < text.size() && plat::cp932::isLead(static_cast<unsigned char>(text[i])) &&
        plat::cp932::isTrail(static_cast<unsigned char>(text[i + 1]))) {
      ++n;
      i += 2;
    } else {
      if (text[i] != '\n') ++n;
      ++i;
    }
  }
  return n;
}

int SyncStringLength(std::string& str) {
  str.resize(::strnlen(str.data(), str.size()));
  return static_cast<int>(str.size());
}

std::string SubString(const std::string& str, int start, int count) {
  std::string_view s(str.data(), ::strnlen(str.data(), str.size()));
  const long long len = static_cast<long long>(s.size());
  long long from = start, n = count;
  if (from < 0) {
    n += from;
    from = 0;
  } else if (from > len) {
    return std::string();
  }
  if (n == 0) return std::string();
  long long to = (n < 0 || from + n > len) ? len : from + n;
  std::size_t a = static_cast<std::size_t>(from), b = static_cast<std::size_t>(to);
  if (InsidePair(s, a)) ++a;
  if (InsidePair(s, b)) --b;
  if (b <= a) return std::string();
  return std::string(s.substr(a, b - a));
}
