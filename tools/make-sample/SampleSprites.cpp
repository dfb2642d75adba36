#include "SampleSprites.h"

#include <string>

namespace sample {

namespace {

constexpr std::uint8_t OUTLINE = Shade(GREY, 0);

// The hero: red cap, skin face looking left, blue shirt, dark trousers. Frames: 0 stand,
// 1 and 2 walking, 3 jumping, 4 hurt; other columns repeat them in other colours.
Canvas Hero(int column) {
  static const Ramp kShirts[] = {BLUE,   BLUE, BLUE, BLUE, BLUE,   GREEN, PURPLE, TEAL,
                                 ORANGE, PINK, RED,  SKY,  YELLOW, BROWN, GREY,   GREEN};
  const int frame = column < 5 ? column : column % 3;
  const Ramp shirt = kShirts[column % 16];
  Canvas c(32, 32);
  const int bob = frame == 1 || frame == 2 ? 1 : 0;
  const int y0 = 3 + bob;
  // legs
  const std::uint8_t trousers = Shade(BLUE, 2), shoes = Shade(BROWN, 4);
  switch (frame) {
    case 1:
      c.Polygon({11, 23 + bob, 15, 23 + bob, 12, 29, 8, 29}, trousers);
      c.Polygon({17, 23 + bob, 21, 23 + bob, 23, 29, 19, 29}, trousers);
      c.Rect(6, 29, 6, 2, shoes);
      c.Rect(19, 29, 6, 2, shoes);
      break;
    case 2:
      c.Rect(13, 23 + bob, 5, 6, trousers);
      c.Rect(15, 23 + bob, 5, 5, Shade(BLUE, 1));
      c.Rect(11, 29, 7, 2, shoes);
      break;
    case 3:
      c.Rect(10, 22, 5, 4, trousers);
      c.Rect(17, 22, 5, 6, trousers);
      c.Rect(8, 25, 6, 2, shoes);
      c.Rect(17, 28, 6, 2, shoes);
      break;
    default:
      c.Rect(11, 23, 4, 6, trousers);
      c.Rect(17, 23, 4, 6, trousers);
      c.Rect(9, 29, 6, 2, shoes);
      c.Rect(17, 29, 6, 2, shoes);
      break;
  }
  // body and arm
  c.Rect(10, y0 + 13, 12, 8, Shade(shirt, 8));
  c.Rect(10, y0 + 13, 12, 2, Shade(shirt, 11));
  c.Rect(10, y0 + 20, 12, 1, Shade(BROWN, 3));  // belt
  if (frame == 3) {
    c.Rect(6, y0 + 8, 4, 8, Shade(shirt, 7));  // arm raised
    c.Rect(6, y0 + 6, 4, 3, Shade(SKIN, 9));
  } else {
    const int swing = frame == 1 ? -3 : frame == 2 ? 2 : 0;
    c.Rect(13 + swing, y0 + 14, 4, 6, Shade(shirt, 6));
    c.Rect(13 + swing, y0 + 19, 4, 2, Shade(SKIN, 9));
  }
  // head: face to the left
  c.Ellipse(9, y0 + 2, 14, 12, Shade(SKIN, 9));
  c.Rect(12, y0 + 1, 11, 4, Shade(RED, 8));                        // cap
  c.Rect(6, y0 + 4, 8, 2, Shade(RED, 6));                          // brim to the left
  c.Rect(18, y0 + 5, 4, 5, Shade(BROWN, 3));                       // hair at the back
  c.Rect(12, y0 + 7, 2, 3, frame == 4 ? Shade(RED, 3) : OUTLINE);  // eye
  c.Rect(9, y0 + 9, 2, 2, Shade(SKIN, 7));                         // nose
  if (frame == 4) c.Line(11, y0 + 12, 14, y0 + 11, OUTLINE);
  Outline(c, OUTLINE);
  return c;
}

// The walking enemy: a round beetle with big eyes on its left and two feet.
Canvas Walker(int column) {
  static const Ramp kShells[] = {GREEN,  GREEN, GREEN, GREEN, GREEN,  RED,   PURPLE, TEAL,
                                 ORANGE, PINK,  BLUE,  SKY,   YELLOW, BROWN, GREY,   RED};
  const int frame = column < 5 ? column : column % 2;
  const Ramp shell = kShells[column % 16];
  Canvas c(32, 32);
  const std::uint8_t feet = Shade(BROWN, 3);
  if (frame == 1) {
    c.Ellipse(5, 26, 8, 5, feet);
    c.Ellipse(19, 27, 8, 4, feet);
  } else {
    c.Ellipse(8, 27, 8, 4, feet);
    c.Ellipse(17, 26, 8, 5, feet);
  }
  c.Ellipse(4, 8, 25, 21, Shade(shell, 7));
  c.Ellipse(8, 10, 14, 7, Shade(shell, 11));  // shine
  c.Ellipse(5, 14, 9, 9, Shade(GREY, 15));
  c.Ellipse(12, 14, 8, 9, Shade(GREY, 15));
  c.Rect(6, 17, 3, 4, OUTLINE);
  c.Rect(13, 17, 3, 4, OUTLINE);
  c.Line(5, 12, 11, 14, OUTLINE);  // frown
  c.Line(18, 13, 13, 14, OUTLINE);
  if (frame == 4) c.Line(4, 4, 28, 28, Shade(RED, 9));
  Outline(c, OUTLINE);
  return c;
}

// A flying enemy: a small bat, wings up and down.
Canvas Flyer(int column) {
  const int frame = column % 2;
  Canvas c(32, 32);
  const std::uint8_t wing = Shade(PURPLE, 5);
  if (frame == 0)
    c.Polygon({14, 14, 2, 4, 4, 16, 8, 13, 10, 18, 14, 17, 22, 17, 24, 18, 26, 13, 30, 16, 28, 4, 18, 14}, wing);
  else c.Polygon({14, 15, 2, 24, 6, 21, 9, 26, 12, 20, 14, 18, 18, 18, 20, 20, 23, 26, 26, 21, 30, 24, 18, 15}, wing);
  c.Ellipse(11, 10, 11, 12, Shade(PURPLE, 8));
  c.Rect(12, 8, 2, 3, Shade(PURPLE, 8));
  c.Rect(19, 8, 2, 3, Shade(PURPLE, 8));
  c.Rect(13, 14, 2, 2, Shade(YELLOW, 12));
  c.Rect(17, 14, 2, 2, Shade(YELLOW, 12));
  Outline(c, OUTLINE);
  return c;
}

// The boss: a red beetle wearing a golden crown, drawn at double size on its stage.
Canvas Boss(int column) {
  Canvas c = Walker(column % 2 ? 5 : 15);
  c.Polygon({7, 9, 7, 2, 11, 6, 16, 0, 21, 6, 25, 2, 25, 9}, Shade(YELLOW, 9));
  c.Rect(15, 4, 3, 3, Shade(RED, 10));
  Outline(c, OUTLINE);
  return c;
}

// Rows of images without a drawing: a figure with the image number on its chest.
Canvas Generic(int image, int column) {
  const Ramp ramp = Ramp(1 + (image % (RAMP_COUNT - 1)));
  Canvas c(32, 32);
  const int step = column % 2;
  c.Rect(10 - step, 24, 4, 6, Shade(ramp, 4));
  c.Rect(18 + step, 24, 4, 6, Shade(ramp, 4));
  c.Rect(8, 10, 16, 15, Shade(ramp, 8));
  c.Ellipse(10, 1, 12, 11, Shade(ramp, 11));
  c.Rect(12, 5, 2, 2, OUTLINE);
  c.CentredText(8, 12, 16, 11, std::to_string(image), Shade(GREY, 15));
  Outline(c, OUTLINE);
  return c;
}

}  // namespace

void Outline(Canvas& c, std::uint8_t colour) {
  Canvas copy = c;
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) {
      if (copy.At(x, y) != pal::KEY) continue;
      bool touches = false;
      for (int d = 0; d < 4 && !touches; ++d) {
        const int nx = x + (d == 0) - (d == 1), ny = y + (d == 2) - (d == 3);
        const std::uint8_t n = copy.At(nx, ny);
        touches = n != pal::KEY && n != colour;
      }
      if (touches) c.Set(x, y, colour);
    }
}

Canvas HalfSize(const Canvas& c) {
  Canvas out((c.Width() + 1) / 2, (c.Height() + 1) / 2);
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) {
      std::uint8_t v = pal::KEY;
      for (int k = 0; k < 4 && v == pal::KEY; ++k) v = c.At(2 * x + (k & 1), 2 * y + (k >> 1));
      out.Set(x, y, v);
    }
  return out;
}

Canvas NumberedCell(int w, int h, int n, Ramp ramp) {
  Canvas c(w, h);
  c.Rect(1, 1, w - 2, h - 2, Shade(ramp, 3));
  c.Frame(1, 1, w - 2, h - 2, Shade(ramp, 9));
  c.CentredText(0, 0, w, h, std::to_string(n), Shade(GREY, 14));
  return c;
}

Canvas CharaCell(int image, int column) {
  switch (image) {
    case CHARA_NONE: {
      Canvas c(32, 32);
      c.Frame(2, 2, 28, 28, Shade(RED, 9));
      c.CentredText(0, 0, 32, 32, "?", Shade(RED, 11), 2);
      return c;
    }
    case CHARA_HERO: return Hero(column);
    case CHARA_WALKER: return Walker(column);
    case CHARA_FLYER: return Flyer(column);
    case CHARA_BOSS: return Boss(column);
    default: return Generic(image, column);
  }
}

Canvas BlockCell(int n) {
  Canvas c(32, 32);
  switch (n) {
    case 0: break;
    case BLOCK_GRASS:
    case BLOCK_DIRT: {
      c.Fill(Shade(BROWN, 6));
      for (int k = 0; k < 9; ++k) c.Rect((k * 11 + n * 5) % 29, (k * 7 + 3) % 29, 3, 2, Shade(BROWN, 4));
      if (n == BLOCK_GRASS) {
        c.Rect(0, 0, 32, 7, Shade(GREEN, 7));
        for (int x = 0; x < 32; x += 4) c.Rect(x, 7, 2, 2 + (x / 4) % 2, Shade(GREEN, 6));
        c.Rect(0, 0, 32, 2, Shade(GREEN, 11));
      }
      break;
    }
    case BLOCK_BRICK:
      c.Fill(Shade(GREY, 9));
      for (int row = 0; row < 4; ++row)
        for (int col = -1; col < 2; ++col) {
          const int x = col * 16 + (row % 2) * 8;
          c.Rect(x + 1, row * 8 + 1, 15, 7, Shade(RED, 6));
          c.Rect(x + 1, row * 8 + 1, 15, 1, Shade(RED, 9));
        }
      break;
    case BLOCK_STONE:
      c.Fill(Shade(GREY, 8));
      c.Rect(0, 0, 32, 3, Shade(GREY, 12));
      c.Rect(0, 0, 3, 32, Shade(GREY, 11));
      c.Rect(0, 29, 32, 3, Shade(GREY, 4));
      c.Rect(29, 0, 3, 32, Shade(GREY, 5));
      break;
    case BLOCK_QUESTION:
      c.Fill(Shade(YELLOW, 8));
      c.Frame(0, 0, 32, 32, Shade(ORANGE, 5));
      c.CentredText(0, 0, 32, 32, "?", Shade(ORANGE, 4), 3);
      break;
    case BLOCK_PLANK:
      c.Rect(0, 0, 32, 12, Shade(BROWN, 8));
      c.Rect(0, 0, 32, 2, Shade(BROWN, 11));
      c.Rect(0, 11, 32, 1, Shade(BROWN, 3));
      c.Rect(15, 2, 2, 9, Shade(BROWN, 5));
      break;
    case BLOCK_ICE:
      c.Fill(Shade(SKY, 11));
      c.Line(4, 26, 26, 4, Shade(GREY, 15));
      c.Line(8, 28, 28, 8, Shade(GREY, 15));
      c.Frame(0, 0, 32, 32, Shade(SKY, 7));
      break;
    case BLOCK_SPIKES:
      c.Rect(0, 26, 32, 6, Shade(GREY, 6));
      for (int k = 0; k < 4; ++k) c.Polygon({k * 8, 26, k * 8 + 4, 6, k * 8 + 8, 26}, Shade(GREY, 12));
      break;
    case BLOCK_CLOUD:
      c.Ellipse(2, 10, 16, 14, Shade(GREY, 15));
      c.Ellipse(10, 4, 16, 18, Shade(GREY, 15));
      c.Ellipse(16, 10, 14, 14, Shade(GREY, 14));
      break;
    default: return NumberedCell(32, 32, n, Ramp(1 + n % (RAMP_COUNT - 1)));
  }
  return c;
}

Canvas ItemCell(int n, int frame) {
  Canvas c(32, 32);
  switch (n) {
    case 0: break;
    case ITEM_COIN:
      if (frame == 0) {
        c.Ellipse(6, 4, 20, 24, Shade(YELLOW, 8));
        c.Ellipse(10, 8, 12, 16, Shade(YELLOW, 11));
        c.Rect(15, 10, 2, 12, Shade(ORANGE, 6));
      } else {
        c.Ellipse(11, 4, 10, 24, Shade(YELLOW, 8));
        c.Rect(15, 8, 2, 16, Shade(YELLOW, 12));
      }
      break;
    case ITEM_GOAL: {
      c.Rect(7, 2, 3, 29, Shade(GREY, 12));
      c.Ellipse(5, 0, 7, 5, Shade(YELLOW, 9));
      const int wave = frame ? 2 : 0;
      c.Polygon({10, 4, 28, 6 + wave, 26, 11, 28, 16 - wave, 10, 17}, Shade(GREEN, 8));
      c.Text(14, 7, "G", Shade(GREY, 15));
      c.Rect(3, 29, 11, 3, Shade(GREY, 6));
      break;
    }
    case ITEM_HEART:
      c.Ellipse(5, 6, 12, 12, Shade(RED, 8));
      c.Ellipse(15, 6, 12, 12, Shade(RED, 8));
      c.Polygon({5, 13, 27, 13, 16, 28}, Shade(RED, 8));
      c.Rect(9, 9, 3, 3, Shade(RED, 13));
      if (frame) Outline(c, Shade(PINK, 12));
      break;
    case ITEM_STAR:
      c.Polygon({16, 2, 20, 12, 30, 12, 22, 18, 25, 29, 16, 22, 7, 29, 10, 18, 2, 12, 12, 12},
                Shade(YELLOW, frame ? 12 : 9));
      break;
    case ITEM_KEY:
      c.Ellipse(3, 9, 12, 12, Shade(YELLOW, 9));
      c.Ellipse(6, 12, 6, 6, pal::KEY);
      c.Rect(14, 13, 15, 4, Shade(YELLOW, 9));
      c.Rect(22, 17, 3, 5, Shade(YELLOW, 9));
      c.Rect(26, 17, 3, 4, Shade(YELLOW, 9));
      break;
    case ITEM_GEM:
      c.Polygon({8, 4, 24, 4, 30, 12, 16, 29, 2, 12}, Shade(TEAL, frame ? 11 : 9));
      c.Polygon({8, 4, 14, 12, 2, 12}, Shade(TEAL, 13));
      break;
    case ITEM_POTION:
      c.Rect(13, 3, 6, 8, Shade(GREY, 13));
      c.Rect(12, 2, 8, 3, Shade(BROWN, 6));
      c.Ellipse(6, 10, 20, 20, Shade(PINK, frame ? 9 : 8));
      break;
    case ITEM_EXTRA_LIFE:
      c.Ellipse(3, 3, 26, 26, Shade(GREEN, 8));
      c.CentredText(0, 0, 32, 32, "1UP", Shade(GREY, 15));
      break;
    case ITEM_CLOCK:
      c.Ellipse(4, 4, 24, 24, Shade(GREY, 15));
      c.Line(16, 16, 16, 8, OUTLINE);
      c.Line(16, 16, frame ? 22 : 10, 16, OUTLINE);
      break;
    default: return NumberedCell(32, 32, n, Ramp(1 + n % (RAMP_COUNT - 1)));
  }
  Outline(c, OUTLINE);
  return c;
}

Canvas ShotCell(int row, int pair, int frame) {
  const Ramp ramp = Ramp(1 + row % (RAMP_COUNT - 1));
  Canvas c(16, 16);
  const std::uint8_t body = Shade(ramp, frame ? 10 : 8), core = Shade(ramp, 14);
  switch (pair) {
    case 0:  // ball
      c.Ellipse(3, 3, 10, 10, body);
      c.Ellipse(5, 5, 4, 4, core);
      break;
    case 1:  // star
      c.Polygon({8, 1, 10, 6, 15, 6, 11, 9, 13, 15, 8, 11, 3, 15, 5, 9, 1, 6, 6, 6}, body);
      break;
    case 2:  // arrow pointing left
      c.Rect(4, 7, 11, 2, body);
      c.Polygon({0, 8, 6, 3, 6, 13}, core);
      break;
    default:  // ring
      c.Ellipse(2, 2, 12, 12, body);
      c.Ellipse(5, 5, 6, 6, pal::KEY);
      break;
  }
  return c;
}

Canvas MarkCell(int n) {
  Canvas c(32, 32);
  switch (n) {
    case 0: break;
    case 1:
      c.Ellipse(4, 4, 24, 24, Shade(RED, 8));
      c.CentredText(0, 0, 32, 32, "!", Shade(GREY, 15), 2);
      break;
    case 2:
      c.Ellipse(4, 4, 24, 24, Shade(BLUE, 8));
      c.CentredText(0, 0, 32, 32, "?", Shade(GREY, 15), 2);
      break;
    case 3: c.Polygon({16, 3, 29, 16, 21, 16, 21, 29, 11, 29, 11, 16, 3, 16}, Shade(GREEN, 8)); break;
    default: return NumberedCell(32, 32, n, Ramp(1 + (n + 5) % (RAMP_COUNT - 1)));
  }
  Outline(c, OUTLINE);
  return c;
}

}  // namespace sample
