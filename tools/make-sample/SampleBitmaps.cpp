#include "SampleBitmaps.h"

#include <string>

#include "SampleSprites.h"

namespace sample {

namespace {

constexpr std::uint8_t OUTLINE = Shade(GREY, 0);

// Palette number n at (n % 16, 8 + n / 16); the top-left dot is the transparent colour.
Canvas PaletteBitmap() {
  Canvas c(16, 24, pal::KEY);
  for (int n = 0; n < 256; ++n) c.Set(n % 16, 8 + n / 16, static_cast<std::uint8_t>(n));
  return c;
}

Canvas DebugBitmap() {
  Canvas c(32, 32);
  for (int y = 0; y < 32; y += 8)
    for (int x = 0; x < 32; x += 8) c.Rect(x, y, 8, 8, ((x + y) / 8) % 2 ? Shade(GREY, 6) : Shade(GREY, 10));
  c.Text(2, 12, "DBG", Shade(RED, 9));
  return c;
}

// 32 x 32 cells, fifteen to a column: cell n at ((n / 15) * 32, (n % 15) * 32).
template <class Draw>
Canvas ColumnSheet(int width, int height, int cellW, int cellH, Draw draw) {
  Canvas c(width, height);
  const int rows = height / cellH, count = (width / cellW) * rows;
  for (int n = 0; n < count; ++n) draw(c, n, (n / rows) * cellW, (n % rows) * cellH);
  return c;
}

Canvas BlockSheet() {
  return ColumnSheet(256, 480, 32, 32, [](Canvas& c, int n, int x, int y) { c.Paste(BlockCell(n), x, y); });
}

// Row = image % 15, column = the cell's pattern: 16 columns of 32.
Canvas CharacterSheet() {
  Canvas c(512, 480);
  for (int row = 0; row < 15; ++row)
    for (int col = 0; col < 16; ++col) c.Paste(CharaCell(row, col), col * 32, row * 32);
  return c;
}

// 30 rows of four pairs of 16 x 16 frames.
Canvas ShotSheet() {
  Canvas c(128, 480);
  for (int row = 0; row < 30; ++row)
    for (int pair = 0; pair < 4; ++pair)
      for (int frame = 0; frame < 2; ++frame) c.Paste(ShotCell(row, pair, frame), 32 * pair + 16 * frame, 16 * row);
  return c;
}

// Columns of 64: item n's two frames at ((n / 15) * 64 + 32 f, (n % 15) * 32).
Canvas ItemSheet() {
  return ColumnSheet(512, 480, 64, 32, [](Canvas& c, int n, int x, int y) {
    c.Paste(ItemCell(n, 0), x, y);
    c.Paste(ItemCell(n, 1), x + 32, y);
  });
}

// Half-size item icons: 16 x 16 at ((n / 15) * 32, (n % 15) * 16).
Canvas ItemMiniSheet() {
  return ColumnSheet(256, 240, 32, 16, [](Canvas& c, int n, int x, int y) { c.Paste(HalfSize(ItemCell(n, 0)), x, y); });
}

Canvas MarkSheet() {
  return ColumnSheet(256, 480, 32, 32, [](Canvas& c, int n, int x, int y) { c.Paste(MarkCell(n), x, y); });
}

// Window background: a dark blue gradient with a faint grid one shade lighter; opaque.
// The ramp has few shades so dark, so the gradient is dithered (4 x 4 ordered) between
// neighbouring shades rather than cut into bands.
Canvas WindowBitmap() {
  static constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  constexpr int kTop = 1, kBottom = 4;  // shades
  Canvas c(640, 480);
  for (int y = 0; y < 480; ++y) {
    const int level = kTop * 16 + y * (kBottom - kTop) * 16 / 480;  // sixteenths of a shade
    for (int x = 0; x < 640; ++x) {
      int shade = level / 16 + (level % 16 > kBayer[y % 4][x % 4] ? 1 : 0);
      if (x % 16 == 0) ++shade;
      c.Set(x, y, Shade(BLUE, shade));
    }
  }
  return c;
}

Canvas StatusBarBitmap() {
  Canvas c(640, 20, Shade(BLUE, 1));
  c.Rect(0, 0, 640, 1, Shade(SKY, 8));
  c.Rect(0, 19, 640, 1, Shade(BLUE, 4));
  return c;
}

// The sky layer repeats side by side as the stage scrolls, so the picture must wrap: the
// clouds keep clear of the side edges and every hill is drawn again one width to either
// side, which makes column 0 continue column Width() - 1.
void SkyAndHills(Canvas& c, int horizon) {
  const int w = c.Width(), h = c.Height();
  for (int y = 0; y < horizon; ++y) c.Rect(0, y, w, 1, Shade(SKY, 5 + y * 7 / horizon));
  for (int k = 0; k < 5; ++k) {
    const int cx = 24 + k * 124, cy = 40 + (k * 53) % 120;  // 70 wide: the last ends at 590
    c.Ellipse(cx, cy, 70, 24, Shade(GREY, 15));
    c.Ellipse(cx + 20, cy - 12, 50, 30, Shade(GREY, 15));
  }
  // Four hills a width, two shades taking turns, so the turn goes on across the wrap.
  for (int k = 0; k < 4; ++k)
    for (int wrap : {-w, 0, w}) c.Ellipse(wrap - 80 + k * w / 4, horizon - 60, 300, 160, Shade(GREEN, 5 + k % 2));
  c.Rect(0, horizon, w, h - horizon, Shade(GREEN, 4));
}

Canvas TitleBitmap() {
  Canvas c(640, 480);
  SkyAndHills(c, 400);
  c.Rect(0, 416, 640, 64, Shade(BROWN, 6));
  c.Rect(0, 410, 640, 8, Shade(GREEN, 7));
  c.OutlinedText(320 - Canvas::TextWidth("SAMPLE QUEST", 6) / 2, 48, "SAMPLE QUEST", Shade(YELLOW, 11), OUTLINE, 6);
  c.OutlinedText(320 - Canvas::TextWidth("A PROJECT MADE BY CODE", 2) / 2, 112, "A PROJECT MADE BY CODE",
                 Shade(GREY, 15), OUTLINE, 2);
  c.Paste(CharaCell(CHARA_HERO, 0).Mirrored().Scaled(3), 48, 314);
  c.Paste(CharaCell(CHARA_WALKER, 0).Scaled(3), 500, 314);
  c.Paste(ItemCell(ITEM_COIN, 0).Scaled(2), 200, 300);
  c.Paste(ItemCell(ITEM_COIN, 1).Scaled(2), 400, 300);
  return c;
}

// Seven 32-pixel strips, one a title-menu item kind.
Canvas GameModeBitmap() {
  static const char* const kLabels[7] = {"NEW GAME", "CONTINUE", "CHALLENGE", "FREE PLAY", "REPLAY", "OPTIONS", "EXIT"};
  Canvas c(192, 224);
  for (int i = 0; i < 7; ++i) c.OutlinedText(8, 32 * i + 5, kLabels[i], Shade(YELLOW, 11), OUTLINE, 3);
  return c;
}

Canvas SmallHead() {
  Canvas c(16, 16);
  c.Ellipse(3, 3, 11, 11, Shade(SKIN, 9));
  c.Rect(4, 2, 9, 4, Shade(RED, 8));
  c.Rect(1, 5, 5, 2, Shade(RED, 6));
  c.Rect(5, 8, 2, 2, OUTLINE);
  Outline(c, OUTLINE);
  return c;
}

// A 16 x 16 cup for the total score, so the coin is left to the stage score that coins
// raise.
Canvas TrophyIcon() {
  Canvas c(16, 16);
  c.Rect(3, 1, 10, 2, Shade(YELLOW, 11));     // rim
  c.Ellipse(3, 0, 10, 10, Shade(YELLOW, 9));  // bowl
  c.Rect(3, 1, 10, 4, Shade(YELLOW, 9));
  c.Rect(5, 2, 2, 5, Shade(YELLOW, 13));  // shine
  c.Frame(0, 2, 4, 4, Shade(YELLOW, 8));  // handles
  c.Frame(12, 2, 4, 4, Shade(YELLOW, 8));
  c.Rect(7, 9, 2, 3, Shade(YELLOW, 8));  // stem
  c.Rect(4, 12, 8, 3, Shade(BROWN, 6));  // base
  Outline(c, OUTLINE);
  return c;
}

// A 32 x 32 hero seen from the front (or the back) for the world map.
Canvas MapHero(bool back, int frame) {
  Canvas c(32, 32);
  c.Rect(11 + frame, 22, 4, 7, Shade(BLUE, 2));
  c.Rect(17 - frame, 22, 4, 7, Shade(BLUE, 2));
  c.Rect(9, 13, 14, 10, Shade(BLUE, 8));
  c.Ellipse(9, 2, 14, 13, Shade(SKIN, 9));
  c.Rect(9, 1, 14, back ? 11 : 5, Shade(RED, 8));
  if (!back) {
    c.Rect(12, 8, 2, 3, OUTLINE);
    c.Rect(18, 8, 2, 3, OUTLINE);
  }
  Outline(c, OUTLINE);
  return c;
}

// One 50 x 16 gauge strip: frame, bar, low bar or damage.
void GaugeStrip(Canvas& c, int x, int y, std::uint8_t colour, bool frame) {
  if (frame) {
    c.Rect(x, y, 50, 16, Shade(GREY, 2));
    c.Frame(x, y, 50, 16, pal::FRAME);
    return;
  }
  c.Rect(x, y, 50, 16, colour);
  c.Rect(x, y, 50, 2, Shade(GREY, 15));
  c.Rect(x, y + 14, 50, 2, Shade(GREY, 3));
}

// Cursors, signs, status icons, the world-map hero and the gauges.
Canvas AccessoryBitmap() {
  Canvas c(128, 208);
  c.Polygon({4, 4, 28, 16, 4, 28}, Shade(YELLOW, 10));   // menu cursor 32 x 32
  c.Polygon({66, 2, 78, 8, 66, 14}, Shade(YELLOW, 10));  // cursor 16 x 16
  c.Ellipse(83, 3, 10, 10, Shade(GREEN, 9));             // sign of the chosen entry
  c.Polygon({112, 2, 116, 12, 126, 12, 118, 18, 121, 29, 112, 22, 103, 29, 106, 18, 98, 12, 108, 12},
            Shade(YELLOW, 9));                         // cleared
  c.Paste(TrophyIcon(), 0, 32);                        // status icons: total score,
  c.Paste(HalfSize(ItemCell(ITEM_COIN, 0)), 16, 32);   // stage score (coins add to it),
  c.Paste(HalfSize(ItemCell(ITEM_HEART, 0)), 32, 32);  // HP,
  c.Paste(HalfSize(ItemCell(ITEM_GEM, 0)), 48, 32);    // SP,
  c.Paste(SmallHead(), 64, 32);                        // lives
  c.Paste(SmallHead(), 0, 48);                         // life icon
  c.Polygon({17, 60, 17, 52, 21, 56, 24, 50, 27, 56, 31, 52, 31, 60}, Shade(YELLOW, 9));  // ranking crown
  for (int f = 0; f < 2; ++f) {
    c.Paste(MapHero(false, f), 32 * f, 64);                    // facing down
    c.Paste(MapHero(true, f), 64 + 32 * f, 64);                // up
    c.Paste(CharaCell(CHARA_HERO, f).Mirrored(), 32 * f, 96);  // right
    c.Paste(CharaCell(CHARA_HERO, f), 64 + 32 * f, 96);        // left
  }
  const std::uint8_t hp = Shade(GREEN, 8), sp = Shade(SKY, 8);
  GaugeStrip(c, 0, 128, 0, true);
  GaugeStrip(c, 64, 128, 0, true);
  GaugeStrip(c, 0, 144, hp, false);
  GaugeStrip(c, 64, 144, sp, false);
  GaugeStrip(c, 0, 160, Shade(RED, 8), false);
  GaugeStrip(c, 64, 160, Shade(ORANGE, 8), false);
  GaugeStrip(c, 0, 176, Shade(GREY, 14), false);
  GaugeStrip(c, 64, 176, Shade(GREY, 14), false);
  GaugeStrip(c, 0, 192, Shade(RED, 10), false);
  GaugeStrip(c, 64, 192, Shade(RED, 10), false);
  return c;
}

// Pictures for the letters a to z, one 16 x 16 cell each in the top row.
Canvas SymbolBitmap() {
  Canvas c(416, 16);
  for (int k = 0; k < 26; ++k) {
    const int x = 16 * k;
    c.Ellipse(x, 0, 16, 16, Shade(Ramp(1 + k % (RAMP_COUNT - 1)), 6));
    c.CentredText(x, 0, 16, 16, std::string(1, static_cast<char>('A' + k)), Shade(GREY, 15));
  }
  return c;
}

// Captions and the large digits.
Canvas WordBitmap() {
  Canvas c(320, 192);
  auto caption = [&](int y, int w, const char* text, std::uint8_t colour, int scale) {
    c.OutlinedText((w - Canvas::TextWidth(text, scale)) / 2, y + 2, text, colour, OUTLINE, scale, 4);
  };
  caption(0, 128, "STAGE", Shade(GREY, 15), 3);
  caption(32, 128, "REPLAY", Shade(SKY, 12), 3);
  caption(64, 128, "CLEAR!", Shade(YELLOW, 11), 3);
  caption(96, 144, "GAME OVER", Shade(RED, 10), 2);
  for (int strip : {128, 160})
    for (int d = 0; d < 10; ++d) c.OutlinedText(32 * d + 6, strip + 2, std::to_string(d), Shade(GREY, 15), OUTLINE, 4);
  return c;
}

// World-map tiles, five to a row: 0 sea, 1 mountain, 2 forest, 3 rock, 4 wall, 5 grass,
// 6 road north to south, 7 sand, 8 bridge, 9 flowers, 10 road west to east, 11 road
// from the west turning south.
Canvas WorldMapChipBitmap() {
  constexpr int kTiles = 12;
  Canvas c(160, 32 * ((kTiles + 4) / 5));
  for (int t = 0; t < kTiles; ++t) {
    Canvas tile(32, 32);
    const std::uint8_t road = Shade(YELLOW, 6);
    switch (t) {
      case 0:
        tile.Fill(Shade(BLUE, 6));
        tile.Rect(4, 8, 8, 1, Shade(SKY, 10));
        tile.Rect(18, 22, 8, 1, Shade(SKY, 10));
        break;
      case 1:
        tile.Fill(Shade(GREEN, 6));
        tile.Polygon({2, 28, 16, 4, 30, 28}, Shade(BROWN, 7));
        tile.Polygon({12, 11, 16, 4, 20, 11}, Shade(GREY, 15));
        break;
      case 2:
        tile.Fill(Shade(GREEN, 6));
        for (int k = 0; k < 3; ++k) tile.Polygon({2 + 10 * k, 26, 7 + 10 * k, 6, 12 + 10 * k, 26}, Shade(GREEN, 3));
        break;
      case 3:
        tile.Fill(Shade(GREEN, 6));
        tile.Ellipse(4, 6, 24, 22, Shade(GREY, 8));
        break;
      case 4:
        tile.Fill(Shade(GREY, 9));
        for (int y = 0; y < 32; y += 8) tile.Rect(0, y, 32, 1, Shade(GREY, 5));
        break;
      case 5: tile.Fill(Shade(GREEN, 7)); break;
      case 6:
        tile.Fill(Shade(GREEN, 7));
        tile.Rect(8, 0, 16, 32, road);
        break;
      case 7: tile.Fill(Shade(YELLOW, 11)); break;
      case 8:
        tile.Fill(Shade(BLUE, 6));
        tile.Rect(0, 8, 32, 16, Shade(BROWN, 8));
        for (int x = 3; x < 32; x += 6) tile.Rect(x, 8, 1, 16, Shade(BROWN, 5));
        break;
      case 9:
        tile.Fill(Shade(GREEN, 7));
        for (int k = 0; k < 4; ++k) tile.Ellipse(4 + 7 * k, 6 + (k % 2) * 14, 6, 6, Shade(PINK, 10));
        break;
      case 10:
        tile.Fill(Shade(GREEN, 7));
        tile.Rect(0, 8, 32, 16, road);
        break;
      default:
        tile.Fill(Shade(GREEN, 7));
        tile.Rect(0, 8, 24, 16, road);
        tile.Rect(8, 8, 16, 24, road);
        break;
    }
    c.Paste(tile, 32 * (t % 5), 32 * (t / 5), false);
  }
  return c;
}

// Map point icons: column 0 a stage to enter, column 1 the same once cleared.
Canvas WorldEventBitmap() {
  Canvas c(64, 64);
  // Row 1: a closed gate of stone, the same in both columns.
  for (int x : {0, 32}) {
    c.Rect(x + 3, 38, 26, 24, Shade(GREY, 7));
    c.Rect(x + 3, 38, 26, 3, Shade(GREY, 11));
    c.Rect(x + 9, 46, 14, 16, Shade(BROWN, 5));
    c.Rect(x + 15, 46, 2, 16, Shade(BROWN, 8));
  }
  c.Ellipse(4, 4, 24, 24, Shade(GREY, 15));
  c.Ellipse(8, 8, 16, 16, Shade(RED, 8));
  c.Ellipse(36, 4, 24, 24, Shade(GREY, 15));
  c.Polygon({48, 7, 51, 14, 58, 14, 52, 18, 55, 25, 48, 21, 41, 25, 44, 18, 38, 14, 45, 14}, Shade(YELLOW, 9));
  Outline(c, OUTLINE);
  return c;
}

// Background layer: sky, clouds and hills; opaque.
Canvas SkyBitmap() {
  Canvas c(640, 480);
  SkyAndHills(c, 400);
  return c;
}

// The hit effect: three 32 x 32 cells in one row, a growing burst.
Canvas HitBitmap() {
  Canvas c(96, 32);
  for (int k = 0; k < 3; ++k) {
    const int r = 6 + 4 * k, cx = 32 * k + 16;
    c.Polygon({cx, 16 - r - 4, cx + r / 3, 16 - r / 3, cx + r + 4, 16, cx + r / 3, 16 + r / 3, cx, 16 + r + 4,
               cx - r / 3, 16 + r / 3, cx - r - 4, 16, cx - r / 3, 16 - r / 3},
              Shade(YELLOW, 11 - k));
    c.Ellipse(cx - r / 2, 16 - r / 2, r, r, Shade(GREY, 15));
  }
  return c;
}

// The gallery's picture: a framed sign that welcomes the visitor.
Canvas SignBitmap() {
  Canvas c(192, 64);
  c.Rect(0, 0, 192, 64, Shade(BROWN, 9));
  c.Frame(0, 0, 192, 64, Shade(BROWN, 3));
  c.Frame(3, 3, 186, 58, Shade(BROWN, 12));
  c.CentredText(0, 0, 192, 64, "GALLERY", Shade(GREY, 15), 2);
  return c;
}

// A sword's slash: a blade in an arc, to the left (the right one is its mirror).
Canvas SwordBitmap(bool bRight) {
  Canvas c(32, 32);
  for (int k = 0; k < 3; ++k) {
    const int x = bRight ? 31 - (4 + 8 * k) - 6 : 4 + 8 * k;
    c.Rect(x, 14 - 2 * k, 6, 4, Shade(GREY, 15 - 2 * k));
  }
  c.Rect(bRight ? 2 : 24, 12, 6, 8, Shade(BROWN, 5));  // the hilt
  return c;
}

}  // namespace

std::vector<BitmapFile> SampleBitmaps() {
  std::vector<BitmapFile> files;
  files.push_back({"bmp\\plt\\Palette.bmp", PaletteBitmap()});
  files.push_back({"bmp\\Debug.bmp", DebugBitmap()});
  files.push_back({"bmp\\Block.bmp", BlockSheet()});
  files.push_back({"bmp\\Character1.bmp", CharacterSheet()});
  files.push_back({"bmp\\Shot.bmp", ShotSheet()});
  files.push_back({"bmp\\Item.bmp", ItemSheet()});
  files.push_back({"bmp\\Item_Mini.bmp", ItemMiniSheet()});
  files.push_back({"bmp\\Mark.bmp", MarkSheet()});
  files.push_back({"bmp\\Window.bmp", WindowBitmap()});
  files.push_back({"bmp\\StatusWindow.bmp", StatusBarBitmap()});
  files.push_back({"bmp\\Title.bmp", TitleBitmap()});
  files.push_back({"bmp\\GameMode.bmp", GameModeBitmap()});
  files.push_back({"bmp\\Accessory.bmp", AccessoryBitmap()});
  files.push_back({"bmp\\Symbol.bmp", SymbolBitmap()});
  files.push_back({"bmp\\Word.bmp", WordBitmap()});
  files.push_back({"bmp\\WorldMapChip.bmp", WorldMapChipBitmap()});
  files.push_back({"bmp\\WorldEvent.bmp", WorldEventBitmap()});
  files.push_back({SKY_BITMAP, SkyBitmap()});
  files.push_back({HIT_EFFECT_BITMAP, HitBitmap()});
  files.push_back({SIGN_PICTURE_BITMAP, SignBitmap()});
  files.push_back({SWORD_LEFT_BITMAP, SwordBitmap(false)});
  files.push_back({SWORD_RIGHT_BITMAP, SwordBitmap(true)});
  return files;
}

}  // namespace sample
