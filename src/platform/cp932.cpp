#include "platform/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <mutex>

namespace plat::cp932 {
namespace {

// One converter a direction, shared under a lock: iconv descriptors are not thread-safe.
struct Converter {
  iconv_t cd;
  std::mutex mutex;
  Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~Converter() {
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }
};

std::string convert(Converter& c, std::string_view in, const char* replacement, std::size_t skip) {
  std::string out;
  if (c.cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::lock_guard lock(c.mutex);
  iconv(c.cd, nullptr, nullptr, nullptr, nullptr);
  out.reserve(in.size() * 2);
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  char buf[256];
  while (srcLeft > 0) {
    char* dst = buf;
    std::size_t dstLeft = sizeof buf;
    std::size_t r = iconv(c.cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf, dst - buf);
    if (r == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      // Invalid or incomplete sequence: replace one unit and go on.
      out += replacement;
      std::size_t step = skip;
      if (skip == 0) {  // UTF-8 input: skip the whole character
        unsigned char b = static_cast<unsigned char>(*src);
        step = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
      } else if (srcLeft >= 2 && isLead(static_cast<unsigned char>(*src)) &&
                 isTrail(static_cast<unsigned char>(src[1]))) {
        step = 2;
      }
      if (step > srcLeft) step = srcLeft;
      src += step;
      srcLeft -= step;
      iconv(c.cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

std::string plainToUtf8(std::string_view s) {
  static Converter c("UTF-8", "CP932");
  return convert(c, s, "\xEF\xBF\xBD", 1);
}

void appendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

constexpr std::uint32_t kRawByteBase = 0x110000;

void appendKept(std::string& out, std::uint32_t value) {
  char digits[kKeptLength + 1];
  std::snprintf(digits, sizeof digits, "%c%07u", static_cast<char>(kKeptMark), static_cast<unsigned>(value));
  out.append(digits, kKeptLength);
}

std::uint32_t keptValue(std::string_view s, std::size_t i) {
  std::uint32_t v = 0;
  for (std::size_t k = 1; k < kKeptLength; ++k) v = v * 10 + static_cast<std::uint32_t>(s[i + k] - '0');
  return v;
}

// The UTF-8 character at s[i] and its length; 0 for a byte that does not start a
// well-formed character (overlong forms and surrogates included).
std::size_t utf8At(std::string_view s, std::size_t i, std::uint32_t* cp) {
  const auto b = static_cast<unsigned char>(s[i]);
  std::size_t n;
  std::uint32_t v, min;
  if (b < 0x80) {
    *cp = b;
    return 1;
  } else if (b >= 0xC2 && b < 0xE0) {
    n = 2, v = b & 0x1F, min = 0x80;
  } else if (b >= 0xE0 && b < 0xF0) {
    n = 3, v = b & 0x0F, min = 0x800;
  } else if (b >= 0xF0 && b < 0xF5) {
    n = 4, v = b & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    v = v << 6 | (c & 0x3F);
  }
  if (v < min || v > 0x10FFFF || (v >= 0xD800 && v < 0xE000)) return 0;
  *cp = v;
  return n;
}

// CP932 bytes of one character that can stand in text as they are: a printable single
// byte or a lead and trail pair, never a kept mark.
bool plainCharacter(std::string_view c) {
  if (c.size() == 1) {
    const auto b = static_cast<unsigned char>(c[0]);
    return (b >= 0x20 && b < 0x7F) || (b >= 0xA1 && b <= 0xDF);
  }
  return c.size() == 2 && isLead(static_cast<unsigned char>(c[0])) && isTrail(static_cast<unsigned char>(c[1]));
}

}  // namespace

std::size_t keptAt(std::string_view s, std::size_t i) {
  if (i + kKeptLength > s.size() || static_cast<unsigned char>(s[i]) != kKeptMark) return 0;
  for (std::size_t k = 1; k < kKeptLength; ++k)
    if (s[i + k] < '0' || s[i + k] > '9') return 0;
  const std::uint32_t v = keptValue(s, i);
  if (v >= kRawByteBase + 0x100 || (v >= 0xD800 && v < 0xE000)) return 0;
  return kKeptLength;
}

std::string toUtf8(std::string_view s) {
  if (s.find(static_cast<char>(kKeptMark)) == std::string_view::npos) return plainToUtf8(s);
  std::string out;
  std::size_t from = 0;
  for (std::size_t i = 0; i < s.size();) {
    if (const std::size_t n = keptAt(s, i)) {
      out += plainToUtf8(s.substr(from, i - from));
      const std::uint32_t v = keptValue(s, i);
      if (v >= kRawByteBase) out += static_cast<char>(v - kRawByteBase);
      else appendUtf8(out, v);
      i += n;
      from = i;
    } else {
      i += static_cast<std::size_t>(charLen(s, i));
    }
  }
  out += plainToUtf8(s.substr(from));
  return out;
}

std::string fromUtf8(std::string_view s) {
  static Converter c("CP932", "UTF-8");
  return convert(c, s, "?", 0);
}

std::string fromUtf8Exact(std::string_view s, char alsoKept) {
  if (alsoKept == 0 || s.find(alsoKept) == std::string_view::npos) {
    // Most names convert whole and come back the same.
    std::string whole = fromUtf8(s);
    if (whole.find(static_cast<char>(kKeptMark)) == std::string::npos && plainToUtf8(whole) == s) return whole;
  }
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    std::uint32_t cp = 0;
    const std::size_t n = utf8At(s, i, &cp);
    if (n == 0) {
      appendKept(out, kRawByteBase + static_cast<unsigned char>(s[i]));
      ++i;
      continue;
    }
    const std::string_view ch = s.substr(i, n);
    i += n;
    if (n == 1) {
      if (ch[0] == alsoKept) appendKept(out, cp);
      else out += ch;
      continue;
    }
    const std::string mapped = fromUtf8(ch);
    if (plainCharacter(mapped) && plainToUtf8(mapped) == ch) out += mapped;
    else appendKept(out, cp);
  }
  return out;
}

std::string withoutKept(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    if (const std::size_t n = keptAt(s, i)) {
      out += '?';
      i += n;
    } else {
      const auto len = static_cast<std::size_t>(charLen(s, i));
      out.append(s.substr(i, len));
      i += len;
    }
  }
  return out;
}

}  // namespace plat::cp932
