#include "gfx/Font.h"

#include <algorithm>
#include <cstdarg>

#include "base/AppGlobals.h"
#include "base/Log.h"
#include "base/SjisText.h"
#include "gfx/DDBlt.h"
#include "gfx/DDFrame.h"
#include "gfx/DDInit.h"
#include "gfx/DDPalette.h"
#include "gfx/DDPresent.h"
#include "gfx/FontHooks.h"
#include "gfx/PixelOps.h"

Font g_Fonts[4];
FONTINFO g_FontInfos[4] = {
    {"ＭＳ ゴシック", 0, 9, 10, 10, 241, 45, 1, 240, 50},
    {"ＭＳ ゴシック", 0, 15, 16, 16, 241, 45, 1, 240, 50},
    {"ＭＳ ゴシック", 0, 15, 16, 16, 242, 45, 1, 240, 50},
    {"ＭＳ ゴシック", 0, 30, 32, 32, 241, 45, 1, 240, 50},
};
DDSURFACEDATA g_DigitSurfaces[4];

namespace {

constexpr std::size_t kMeasureLine = 511;
constexpr std::uint16_t kFullWidthSpace = 0x8140;

// Splits at "\n"; calls fn for every line (cut to what one measured line holds).
template <class Fn>
void ForEachLine(std::string_view text, Fn fn) {
  std::size_t start = 0;
  while (true) {
    const std::size_t nl = text.find('\n', start);
    const std::string_view line =
        text.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
    fn(CutSjis(line, kMeasureLine));
    if (nl == std::string_view::npos) break;
    start = nl + 1;
  }
}

plat::Surface* Target(DDSURFACEDATA* dst) {
  plat::Surface* s = dst ? dst->Pixels() : nullptr;
  return (s && !s->isLost()) ? s : nullptr;
}

}  // namespace

std::string_view CutSjis(std::string_view text, std::size_t maxBytes) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::uint16_t code = 0;
    const std::size_t n = static_cast<std::size_t>(plat::text::charAt(text, i, &code));
    if (i + n > maxBytes) break;
    i += n;
  }
  return text.substr(0, i);
}

std::int32_t StrLineLen(const char* text) {
  if (!text) return 0;
  std::int32_t n = 0;
  while (text[n] && text[n] != '\n') ++n;
  return n;
}

Font::~Font() {
  g_FontList.remove(this);
  DDReleaseSurface(&Work);
}

void Font::Create(std::string_view face, std::int32_t charWidth, std::int32_t charHeight, std::int32_t cellWidth,
                  std::int32_t cellHeight, std::int32_t palNum, DDSURFACEDATA* frameSurface,
                  std::int32_t frameThickness, std::int32_t frameColor, DDSURFACEDATA* symbolSheet) {
  m_nCharWidth = charWidth;
  m_nCharHeight = charHeight;
  m_nCellWidth = cellWidth;
  m_nCellHeight = cellHeight;
  m_nPalNum = palNum;
  m_lpFrame = frameSurface;
  m_nFrameThickness = frameThickness;
  m_nFrameColor = frameColor;
  m_lpSymbol = symbolSheet;
  m_bHasSymbol = symbolSheet != nullptr;
  const PALETTEENTRY e = g_Palette[std::clamp(palNum, 0, 255)];
  if (g_lpD3DData) {
    m_dwColor = 0xFF000000u | std::uint32_t(e.peRed) << 16 | std::uint32_t(e.peGreen) << 8 | e.peBlue;
    m_strFace = std::string(CutSjis(face, 32));
    m_lpFace = plat::text::Face::open(m_strFace, charHeight);
    if (!Work.lpDT) DDCreateSurface(&Work, g_DDState.nWidth, g_DDState.nHeight, 1, 0, 0, 0, false);
    m_nId = g_lpD3DData->nFontId++;
  } else if (g_lpDDData) {
    const PIXELLAYOUT& l = g_PixelLayout;
    std::uint32_t r = e.peRed, g = e.peGreen, b = e.peBlue;
    if (g_DDState.nBpp == 16 && l.wMaxR && l.wMaxG && l.wMaxB) {
      r = r * 255 / l.wMaxR;
      g = g * 255 / l.wMaxG;
      b = b * 255 / l.wMaxB;
    }
    m_dwColor = (b & 255) << 16 | (g & 255) << 8 | (r & 255);
    m_dwPixel = PalNumToRGB(static_cast<std::uint32_t>(palNum));
    m_strFace = std::string(face);
    m_lpFace = plat::text::Face::open(m_strFace, charHeight);
    if (!Work.lpDD && !DDCreateSurface(&Work, g_DDState.nWidth, g_DDState.nHeight, 1, 0, 0, 0, false)) {
      DebugLog("DDCreateSurface Font::Work");
      PostCloseRequest();
      return;
    }
    m_nId = g_lpDDData->nFontId++;
  } else {
    return;
  }
  if (std::find(g_FontList.begin(), g_FontList.end(), this) == g_FontList.end()) g_FontList.push_back(this);
}

void Font::Release() {
  m_lpFace.reset();
  // The work surface goes too in both modes, so no released font stays in the restore list.
  DDReleaseSurface(&Work);
  g_FontList.remove(this);
  // The frame and symbol sheets belong to others and may go before the font is made again.
  m_lpFrame = nullptr;
  m_lpSymbol = nullptr;
  m_bHasSymbol = 0;
}

void Font::OnLostDevice() {
  if (m_lpFace) m_lpFace->clearCache();
}

void Font::Restore() {
  if (plat::Surface* s = Work.lpDD ? Work.Pixels() : nullptr; s && s->isLost()) s->restore();
}

bool Font::HasSymbolSheet() const { return m_bHasSymbol && m_lpSymbol && m_lpSymbol->Pixels(); }

void Font::Measure(std::string_view text, bool byGlyphs, std::int32_t* w, std::int32_t* h) {
  std::int32_t width = 0, height = 0;
  if (m_nCellWidth != 0) {
    int lines = 0;
    ForEachLine(text, [&](std::string_view line) {
      width = std::max(width, CountChars(line) * m_nCellWidth);
      ++lines;
    });
    height = lines * m_nCellHeight;
  } else if (byGlyphs && m_lpFace) {
    ForEachLine(text, [&](std::string_view line) {
      const int lw = m_lpFace->lineWidth(line);
      width = std::max(width, lw);
      height += lw > 0 ? m_nCellHeight : 20;
    });
  }
  if (w) *w = width;
  if (h) *h = height;
}

void Font::GetTextExtent(std::string_view text, std::int32_t* width, std::int32_t* height) {
  Measure(text, g_lpD3DData == nullptr, width, height);
}

void Font::DrawGlyph(DDSURFACEDATA* dst, int x, int y, std::uint16_t code) {
  plat::Surface* s = Target(dst);
  if (!s || !m_lpFace) return;
  const bool smooth = g_lpD3DData != nullptr;
  const plat::text::Glyph& g = m_lpFace->glyph(code, smooth);
  if (g.coverage.empty()) return;
  if (smooth)
    pix::drawMaskBlend(*s, x, y, g.coverage.data(), g.width, g.height, g.width, m_dwColor, dst->nWidth, dst->nHeight);
  else pix::drawMaskRaw(*s, x, y, g.coverage.data(), g.width, g.height, g.width, m_dwPixel, dst->nWidth, dst->nHeight);
}

void Font::DrawChars(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::string_view text, bool symbols) {
  if (!m_lpFace) return;
  const int cw = m_nCellWidth, chh = m_nCellHeight;
  const bool smooth = g_lpD3DData != nullptr;
  if (cw == 0) {
    int k = 0;
    ForEachLine(text, [&](std::string_view line) {
      int px = x;
      for (std::size_t i = 0; i < line.size();) {
        std::uint16_t code = 0;
        i += static_cast<std::size_t>(plat::text::charAt(line, i, &code));
        DrawGlyph(dst, px, y + k * chh, code);
        px += m_lpFace->glyph(code, smooth).width;
      }
      ++k;
    });
    return;
  }
  const bool sheet = symbols && HasSymbolSheet();
  int col = 0, row = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::uint16_t code = 0;
    const int n = plat::text::charAt(text, i, &code);
    i += static_cast<std::size_t>(n);
    if (n == 2) {
      if (code != kFullWidthSpace) {
        if (m_bCentre) {
          const int gw = m_lpFace->glyph(code, smooth).width, gh = m_lpFace->height();
          DrawGlyph(dst, x + col + (cw >> 1) - (gw >> 1), y + row + (chh >> 1) - (gh >> 1), code);
        } else {
          DrawGlyph(dst, x + col, y + row, code);
        }
      }
      col += cw;
    } else if (sheet && code >= 'a' && code <= 'z') {
      col += cw;
    } else if (code == '\n') {
      row += chh;
      col = 0;
    } else {
      if (m_bCentre) {
        const int gw = m_lpFace->glyph(code, smooth).width, gh = m_lpFace->height();
        DrawGlyph(dst, x + col + (cw >> 1) - (gw >> 1), y + row + (chh >> 1) - (gh >> 1), code);
      } else {
        DrawGlyph(dst, x + col + (cw >> 3), y + row + (chh >> 4) - 1, code);
      }
      col += cw;
    }
  }
}

void Font::DrawSymbols(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::string_view text) {
  const int cw = m_nCellWidth, chh = m_nCellHeight;
  if (!HasSymbolSheet() || cw == 0) return;
  int col = 0, row = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::uint16_t code = 0;
    i += static_cast<std::size_t>(plat::text::charAt(text, i, &code));
    if (code == '\n') {
      row += chh;
      col = 0;
      continue;
    }
    if (code >= 'a' && code <= 'z') DDBlt(dst, x + col, y + row, cw, chh, m_lpSymbol, cw * (code - 'a'), 0, 1);
    col += cw;
  }
}

bool Font::Draw(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::string_view text, std::int32_t noSymbols) {
  if (!dst) return false;
  // Letters stand for pictures only when asked; then they are drawn from the sheet.
  const bool symbols = m_bHasSymbol && !noSymbols;
  if (g_lpD3DData) {
    DDResolveAlias(&dst);
    DDRedirectBackBuffer(&dst);
    if (!dst->lpDT) return false;
    if (dst->lpDT->bInSystemMemory) {
      std::int32_t w = 0, h = 0;
      Measure(text, false, &w, &h);
      DDFillRect(&Work, 0, 0, w, h, 0);
      if (!DDBeginScene() || !DDSetRenderTarget(0, &Work)) return false;
      DrawChars(&Work, 0, 0, text, symbols);
      if (symbols) DrawSymbols(&Work, 0, 0, text);
      g_lpD3DData->lpRenderTarget = g_lpD3DData->lpParkingTarget;
      return DDBlt(dst, x, y, w, h, &Work, 0, 0, 1) && m_lpFace != nullptr;
    }
    if (!DDBeginScene() || !DDSetRenderTarget(0, dst)) return false;
    DrawChars(dst, x, y, text, symbols);
    if (symbols) DrawSymbols(dst, x, y, text);
    g_lpD3DData->lpRenderTarget = g_lpD3DData->lpParkingTarget;
    return m_lpFace != nullptr;
  }
  if (!g_lpDDData) return false;
  std::int32_t w = 0, h = 0;
  Measure(text, true, &w, &h);
  DDFillRect(&Work, 0, 0, w, h, 0);
  DrawChars(&Work, 0, 0, text, symbols);
  const bool put = DDBlt(dst, x, y, w, h, &Work, 0, 0, 1);
  if (symbols) DrawSymbols(dst, x, y, text);
  return put && m_lpFace != nullptr;
}

void Font::DrawWindow(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
  if (!m_lpFrame) return;
  if (x == 10000) x = (m_lpFrame->nWidth >> 1) - (w >> 1);
  if (y == 10000) y = (m_lpFrame->nHeight >> 1) - (h >> 1);
  DDBltFrame(dst, x, y, w, h, m_lpFrame, m_nFrameThickness, static_cast<std::uint32_t>(m_nFrameColor));
}

void Font::DrawTextBox(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                       std::string_view text, std::int32_t indent) {
  DrawTextBoxColor(dst, x, y, w, h, text, indent, m_dwColor);
}

void Font::DrawTextBoxColor(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                            std::string_view text, std::int32_t indent, std::uint32_t) {
  if (w == 0 || h == 0) {
    std::int32_t tw = 0, th = 0;
    GetTextExtent(text, &tw, &th);
    if (w == 0) w = indent + tw;
    if (h == 0) h = th;
  }
  if (m_lpFrame) {
    if (x == 10000) x = (m_lpFrame->nWidth >> 1) - (w >> 1);
    if (y == 10000) y = (m_lpFrame->nHeight >> 1) - (h >> 1);
    DDBltFrame(dst, x, y, w, h, m_lpFrame, m_nFrameThickness, static_cast<std::uint32_t>(m_nFrameColor));
  }
  Draw(dst, x + indent, y, text, 0);
}

std::int32_t CreateFonts(Font* fonts, const FONTINFO* infos, std::int32_t count) {
  DDSURFACEDATA* table = g_DDState.lpSurfaceArray;
  auto entry = [&](std::int32_t id) -> DDSURFACEDATA* {
    return (table && id >= 0 && id < g_DDState.nSurfaceCount) ? &table[id] : nullptr;
  };
  for (int i = 0; i < count; ++i) {
    const FONTINFO& f = infos[i];
    fonts[i].Create(f.szFace, f.nCharWidth, f.nCharHeight, f.nCellWidth, f.nCellHeight, f.nPalNum, entry(f.nFrameId),
                    f.nFrameThickness, f.nFrameColor, entry(f.nSymbolId));
  }
  return 1;
}

std::int32_t CreateDigitSurfaces(DDSURFACEDATA* surfaces, const DDSURFACEINFO* descriptors, std::int32_t count,
                                 Font* fonts, const FONTINFO* infos) {
  for (int i = 0; i < count; ++i) {
    const DDSURFACEINFO& d = descriptors[i];
    DDCreateSurface(&surfaces[i], infos[i].nCellWidth * 10, infos[i].nCellHeight, d.nColorKey, d.nMemoryKind,
                    d.nForceSystem, d.nNoTexture, false);
    DrawDigits(&surfaces[i], &fonts[i]);
  }
  return 1;
}

bool DrawDigits(DDSURFACEDATA* surface, Font* font) {
  if (!surface || !font) return false;
  DDFillRect(surface, 0, 0, surface->nWidth, surface->nHeight, 0);
  return font->Draw(surface, 0, 0, "0123456789", 0);
}

void FontPrintf(Font* font, DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, const char* format, ...) {
  if (!font || !format) return;
  va_list args;
  va_start(args, format);
  const std::string text = FormatStringV(format, args);
  va_end(args);
  font->Draw(dst, x, y, CutSjis(text, 255), 0);
}

void FontPrintfBox(Font* font, DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                   const char* format, ...) {
  if (!font || !format) return;
  va_list args;
  va_start(args, format);
  const std::string text = FormatStringV(format, args);
  va_end(args);
  font->DrawTextBoxColor(dst, x, y, w, h, CutSjis(text, 1023), 0, font->m_dwColor);
}

void FontsOnLostDevice() {
  for (Font* f : g_FontList) f->OnLostDevice();
}

void FontsRestore() {
  for (Font* f : g_FontList) f->Restore();
}
