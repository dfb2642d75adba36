// What the drawing paths ask of the display and the graphics device: the desktop depth,
// the device's capabilities, the shared 8-bit palette, device loss, and the faults tests
// inject into start-up. Nothing here draws; the presenter (presenter.h) shows frames.
#pragma once
#include <array>
#include <cstdint>

#include "platform/surface.h"

namespace plat::display {

// Bits per pixel of the desktop: 32 unless a test overrides it (0 clears the override).
int desktopDepth();
void setDesktopDepthOverride(int bpp);

// The 16-bit format of the "DirectDraw" display: 565, or 555 when a test asks for it.
PixelFormat directDraw16Format();
void setDirectDraw16Format(PixelFormat f);

// Capabilities of the "Direct3D" device, with the values a test may change.
struct DeviceCaps {
  int ddiVersion = 9;
  bool pow2 = false;
  bool squareOnly = false;
  int maxTextureWidth = 8192;
  int maxTextureHeight = 8192;
  bool alphaFullscreenFlipOrDiscard = true;
};
DeviceCaps& caps();

// Start-up faults for tests: each counter fails that many attempts of its step.
struct Faults {
  bool direct3DCreate = false;  // the runtime object cannot be made
  int createDevice = 0;         // device creations to fail (2 fails both attempts)
  int directDrawStep = 0;       // DirectDraw start-up step code to fail (1..12), 0 none
  bool getDeviceCaps = false;
};
Faults& faults();

// A budget of video memory in bytes for tests (-1 = unlimited); creating video
// surfaces beyond it fails with CreateResult::OutOfVideoMemory.
void setVideoMemoryBudget(long long bytes);
long long videoMemoryBudget();
long long videoMemoryUsed();
// Called by surfaces only.
bool reserveVideoMemory(long long bytes);
void releaseVideoMemory(long long bytes);

// The one hardware palette of 8-bit displays: entries as 0x00RRGGBB.
using Palette = std::array<std::uint32_t, 256>;
void setPaletteEntries(int first, int count, const std::uint32_t* rgb);
Palette palette();

// Device loss. injectLoss() marks every video surface lost and poisons it; the device
// then reports lost to presents. testCooperative() answers Lost for the first
// `lostAnswers` calls, then NotReset; reset() brings the device back unless a test asked
// the next `failedResets` resets to fail.
enum class Coop { Ok, Lost, NotReset };
void injectLoss(int lostAnswers = 0);
bool deviceLost();
Coop testCooperative();
bool reset();
void failNextResets(int count);

// Restores every setting of this module to its start value (tests).
void resetForTests();

}  // namespace plat::display
