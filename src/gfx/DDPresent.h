// Around the drawing of a frame: the lazily opened scene, the virtual back buffer,
// presenting, recovery from a lost device or lost surfaces, and boxes over a
// full-screen display.
#pragma once
#include <cstdint>
#include <string_view>

struct DDSURFACEDATA;

bool DDBeginScene();
void DDEndScene();
void DDSetVirBackBuffer(bool on);
void DDFlushVirBackBuffer(DDSURFACEDATA* dst, DDSURFACEDATA* src);
bool DDPresent();
bool DDRestoreSurface();
bool DDRestore();
bool DDSetDialogMode(bool on);
std::int32_t DDMesBox(std::string_view text, std::string_view caption, std::int32_t type);

// What the frame step needs to show a DirectDraw frame (the scene manager's part):
// whether the primary surface is lost, the vertical blank, the flip of a full-screen
// display, and the copy of the back buffer into a window.
bool DDIsPrimaryLost();
void DDWaitForVerticalBlank();
bool DDFlip();
bool DDBltBackBufferToPrimary();
