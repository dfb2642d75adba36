// Plays the kit's editor: receives the player's start and end notices on a datagram
// socket.
#pragma once
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace test_support {

class EditorListener {
 public:
  explicit EditorListener(const std::string& path) : path_(path) {
    fd_ = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  }
  ~EditorListener() { ::close(fd_); }
  bool bound() const { return bound_; }
  // Every notice received so far as {kind, size, value, window token}.
  std::vector<std::array<std::uint32_t, 4>> Notices() {
    std::vector<std::array<std::uint32_t, 4>> out;
    unsigned char buf[64];
    ssize_t n;
    while ((n = ::recv(fd_, buf, sizeof buf, MSG_DONTWAIT)) == 16) {
      std::array<std::uint32_t, 4> v{};
      for (int i = 0; i < 4; ++i)
        v[i] = buf[4 * i] | buf[4 * i + 1] << 8 | buf[4 * i + 2] << 16 | std::uint32_t(buf[4 * i + 3]) << 24;
      out.push_back(v);
    }
    return out;
  }

 private:
  std::string path_;
  int fd_ = -1;
  bool bound_ = false;
};

}  // namespace test_support
