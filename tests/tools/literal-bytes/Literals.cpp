// Prints the bytes of narrow literals that the player's compiler writes in CP932: the
// fuzz build's converted copy of this file must print the same.
#include <cstdio>
#include <cstring>

namespace {

void Print(const char* name, const char* s, std::size_t n) {
  std::printf("%s:", name);
  for (std::size_t i = 0; i < n; ++i) std::printf(" %02x", static_cast<unsigned char>(s[i]));
  std::printf("\n");
}

}  // namespace

int main() {
  // Quotes in a comment are not literals: "あ" 'い' don't
  const char kies[] = "ステージクリア";
  Print("katakana", kies, sizeof kies);
  Print("escapes next to text", "\x41あ\101い\0う", 9);
  // clang-format off
  Print("joined", "い" "う" R"(raw)", std::strlen("い" "う" R"(raw)"));
  // clang-format on
  Print("digit after text", "１2３4", std::strlen("１2３4"));
  Print("half-width", "a\"ﾃｽﾄ\"", std::strlen("a\"ﾃｽﾄ\""));
  Print("trail byte 5c", "\\表示\\", std::strlen("\\表示\\"));  // 表's second byte is a backslash
  Print("wide signs", "～－！？", std::strlen("～－！？"));
  const char c = '\'';
  const int n = 1'000;
  Print("char and separator", &c, 1);
  Print("number", reinterpret_cast<const char*>(&n), sizeof n);
  const char8_t utf8[] = u8"あ";  // stays UTF-8 in both
  Print("u8", reinterpret_cast<const char*>(utf8), sizeof utf8);
  return 0;
}
