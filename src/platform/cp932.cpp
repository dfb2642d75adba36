#include "platform/cp932.h"

#include <iconv.h>

#include <cerrno>
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

}  // namespace

std::string toUtf8(std::string_view s) {
  static Converter c("UTF-8", "CP932");
  return convert(c, s, "\xEF\xBF\xBD", 1);
}

std::string fromUtf8(std::string_view s) {
  static Converter c("CP932", "UTF-8");
  return convert(c, s, "?", 0);
}

}  // namespace plat::cp932
