// Fonts: Shift-JIS text drawn proportionally or in a grid of cells, with a window frame
// for boxed text, letters a to z standing for pictures of a symbol sheet, and a strip
// of digit cells from which numbers are blitted. Direct3D draws smoothed glyphs straight
// into the target; DirectDraw draws binary glyphs on a keyed work surface and blits it.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "gfx/DDSurface.h"
#include "platform/text.h"

struct FONTINFO {
  std::string szFace;
  std::int32_t nCharWidth = 0;
  std::int32_t nCharHeight = 0;
  std::int32_t nCellWidth = 0;
  std::int32_t nCellHeight = 0;
  std::int32_t nPalNum = 0;
  std::int32_t nFrameId = 0;
  std::int32_t nFrameThickness = 0;
  std::int32_t nFrameColor = 0;
  std::int32_t nSymbolId = 0;
};

class Font {
 public:
  Font() = default;
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  void Create(std::string_view face, std::int32_t charWidth, std::int32_t charHeight, std::int32_t cellWidth,
              std::int32_t cellHeight, std::int32_t palNum, DDSURFACEDATA* frameSurface, std::int32_t frameThickness,
              std::int32_t frameColor, DDSURFACEDATA* symbolSheet);
  void Release();
  void Restore();
  void OnLostDevice();

  // False when the text could not be put on the target (no face, no target, a failed blit).
  bool Draw(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::string_view text, std::int32_t noSymbols);
  void DrawWindow(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
  void DrawTextBox(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                   std::string_view text, std::int32_t indent);
  void DrawTextBoxColor(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                        std::string_view text, std::int32_t indent, std::uint32_t color);
  // Width and height of the text: fixed grid by cells; proportional measured, or 0 x 0
  // under Direct3D.
  void GetTextExtent(std::string_view text, std::int32_t* width, std::int32_t* height);
  void DrawChars(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::string_view text, bool symbols);
  void DrawSymbols(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::string_view text);

  std::int32_t m_nId = 0;
  std::unique_ptr<plat::text::Face> m_lpFace;  // the font object of either mode
  std::string m_strFace;
  std::int32_t m_nCharWidth = 0;
  std::int32_t m_nCharHeight = 0;
  std::int32_t m_nCellWidth = 0;
  std::int32_t m_nCellHeight = 0;
  std::int32_t m_nPalNum = 0;
  std::uint32_t m_dwColor = 0;  // Direct3D: ARGB; DirectDraw: 0x00BBGGRR
  std::uint32_t m_dwPixel = 0;  // DirectDraw: the raw pixel the glyphs are written with
  std::int32_t m_bCentre = 0;
  DDSURFACEDATA Work;
  DDSURFACEDATA* m_lpFrame = nullptr;
  std::int32_t m_nFrameThickness = 0;
  std::int32_t m_nFrameColor = 0;
  DDSURFACEDATA* m_lpSymbol = nullptr;
  std::int32_t m_bHasSymbol = 0;

 private:
  void Measure(std::string_view text, bool proportionalByGlyphs, std::int32_t* w, std::int32_t* h);
  void DrawGlyph(DDSURFACEDATA* dst, int x, int y, std::uint16_t code);
  bool HasSymbolSheet() const;
};

extern Font g_Fonts[4];
extern FONTINFO g_FontInfos[4];
extern DDSURFACEDATA g_DigitSurfaces[4];

std::int32_t CreateFonts(Font* fonts, const FONTINFO* infos, std::int32_t count);
std::int32_t CreateDigitSurfaces(DDSURFACEDATA* surfaces, const DDSURFACEINFO* descriptors, std::int32_t count,
                                 Font* fonts, const FONTINFO* infos);
// Fills the strip and writes the ten digits on it; false when the digits could not be put.
bool DrawDigits(DDSURFACEDATA* surface, Font* font);
void FontPrintf(Font* font, DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
void FontPrintfBox(Font* font, DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                   const char* format, ...) __attribute__((format(printf, 7, 8)));
std::int32_t StrLineLen(const char* text);
// Cuts a Shift-JIS text to at most maxBytes bytes without splitting a double-byte character.
std::string_view CutSjis(std::string_view text, std::size_t maxBytes);
