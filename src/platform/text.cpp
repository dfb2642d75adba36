#include "platform/text.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cstdlib>

#include "platform/cp932.h"

namespace plat::text {

namespace {

constexpr const char* kGothic = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
constexpr const char* kGothicP = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf";

std::mutex& ttfMutex() {
  static std::mutex m;
  return m;
}

bool ensureTtf() {
  static bool ok = TTF_Init() == 0;
  return ok;
}

char32_t decodeUtf8(const std::string& s) {
  if (s.empty()) return 0;
  const unsigned char c = static_cast<unsigned char>(s[0]);
  auto cont = [&](std::size_t i) { return i < s.size() ? (static_cast<unsigned char>(s[i]) & 0x3F) : 0u; };
  if (c < 0x80) return c;
  if ((c >> 5) == 6) return (char32_t(c & 0x1F) << 6) | cont(1);
  if ((c >> 4) == 14) return (char32_t(c & 0x0F) << 12) | (cont(1) << 6) | cont(2);
  return (char32_t(c & 0x07) << 18) | (cont(1) << 12) | (cont(2) << 6) | cont(3);
}

}  // namespace

int charAt(std::string_view text, std::size_t i, std::uint16_t* code) {
  const auto b = static_cast<std::uint8_t>(text[i]);
  if (cp932::isLead(b) && i + 1 < text.size() && cp932::isTrail(static_cast<std::uint8_t>(text[i + 1]))) {
    *code = std::uint16_t(b << 8 | static_cast<std::uint8_t>(text[i + 1]));
    return 2;
  }
  *code = b;
  return 1;
}

std::string fontFileFor(std::string_view face) {
  if (const char* f = std::getenv("PELLMOOR_FONT_FILE"); f && *f) return f;
  // "P" in the name, half-width or full-width (CP932 0x82 0x6F), marks a proportional face.
  bool proportional = false;
  for (std::size_t i = 0; i < face.size();) {
    std::uint16_t code = 0;
    const int n = charAt(face, i, &code);
    if (code == 'P' || code == 0x826F) proportional = true;
    i += static_cast<std::size_t>(n);
  }
  return proportional ? kGothicP : kGothic;
}

std::unique_ptr<Face> Face::open(std::string_view faceCp932, int height) {
  if (height < 0) height = -height;
  if (height < 1) height = 1;
  std::lock_guard lock(ttfMutex());
  if (!ensureTtf()) return nullptr;
  const std::string file = fontFileFor(faceCp932);
  // The largest size whose line height fits the asked height.
  for (int size = height; size >= 1; --size) {
    TTF_Font* f = TTF_OpenFont(file.c_str(), size);
    if (!f) return nullptr;
    if (TTF_FontHeight(f) <= height || size == 1) {
      std::unique_ptr<Face> face(new Face());
      face->font_ = f;
      face->height_ = TTF_FontHeight(f);
      // The rendered line of the characters that reach lowest.
      int w = 0, h = 0;
      face->fullHeight_ = face->height_;
      if (TTF_SizeUTF8(f, "_gjpqy|()[]{}", &w, &h) == 0) face->fullHeight_ = std::max(face->height_, h);
      return face;
    }
    TTF_CloseFont(f);
  }
  return nullptr;
}

Face::~Face() {
  std::lock_guard lock(ttfMutex());
  if (font_) TTF_CloseFont(static_cast<TTF_Font*>(font_));
}

const Glyph& Face::glyph(std::uint16_t code, bool smooth) {
  std::lock_guard lock(mutex_);
  const std::uint32_t key = code | (smooth ? 0x10000u : 0u);
  if (auto it = cache_.find(key); it != cache_.end()) return it->second;
  Glyph g;
  char bytes[2];
  std::string_view s;
  if (code > 0xFF) {
    bytes[0] = char(code >> 8);
    bytes[1] = char(code & 0xFF);
    s = std::string_view(bytes, 2);
  } else {
    bytes[0] = char(code);
    s = std::string_view(bytes, 1);
  }
  const char32_t ch = decodeUtf8(cp932::toUtf8(s));
  {
    std::lock_guard ttf(ttfMutex());
    TTF_Font* f = static_cast<TTF_Font*>(font_);
    SDL_Surface* surf = nullptr;
    if (ch >= 0x20 && ch != 0xFFFD && TTF_GlyphIsProvided32(f, ch)) {
      const SDL_Color white{255, 255, 255, 255};
      surf = smooth ? TTF_RenderGlyph32_Blended(f, ch, white) : TTF_RenderGlyph32_Solid(f, ch, white);
      ++renders_;
    }
    if (surf) {
      SDL_Surface* argb = SDL_ConvertSurfaceFormat(surf, SDL_PIXELFORMAT_ARGB8888, 0);
      SDL_FreeSurface(surf);
      if (argb) {
        g.width = argb->w;
        g.height = argb->h;
        g.coverage.resize(static_cast<std::size_t>(g.width) * g.height);
        SDL_LockSurface(argb);
        for (int y = 0; y < g.height; ++y) {
          const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(argb->pixels) +
                                                                   static_cast<std::ptrdiff_t>(y) * argb->pitch);
          for (int x = 0; x < g.width; ++x) {
            const std::uint32_t a = row[x] >> 24;
            g.coverage[static_cast<std::size_t>(y) * g.width + x] = std::uint8_t(smooth ? a : (a ? 255 : 0));
          }
        }
        SDL_UnlockSurface(argb);
        SDL_FreeSurface(argb);
      }
    } else {
      // A character the face lacks (or a control byte) advances as blank.
      int adv = 0;
      if (ch >= 0x20 && TTF_GlyphMetrics32(f, ch, nullptr, nullptr, nullptr, nullptr, &adv) == 0) g.width = adv;
      g.height = height_;
      g.coverage.assign(static_cast<std::size_t>(g.width) * g.height, 0);
    }
  }
  return cache_.emplace(key, std::move(g)).first->second;
}

int Face::lineWidth(std::string_view text) {
  int w = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::uint16_t code = 0;
    i += static_cast<std::size_t>(charAt(text, i, &code));
    w += glyph(code, false).width;
  }
  return w;
}

void Face::clearCache() {
  std::lock_guard lock(mutex_);
  cache_.clear();
}

}  // namespace plat::text
