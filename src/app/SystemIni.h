// "System.ini": the user's display settings. Its keys are the names of the project's
// setting descriptors (m_Settings of the system settings), matched by position: setting
// k takes descriptor k whatever it is called.
//
// The file is Shift-JIS text of lines "key=value" and ends with a line "Exit" (or a NUL
// byte); without either the read fails. Spaces, tabs and CRs in a key are dropped; a
// value ends at a space, tab, "/", LF or NUL, so "Bpp=16 // comment" gives 16 (the rest
// of the line is a key that matches nothing). A CR before the LF stays in the value.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Vector.h"

class cEdSetting;

struct SYSTEMINIDATA {
  std::int32_t m_nDirect3D = 0;    // 0 DirectDraw, 1 Direct3D, 2 or more: ask at start-up
  std::int32_t m_nWindowMode = 0;  // non-zero: in a window
  std::int32_t m_nBpp = 0;         // 8, 16 or 32; 0 automatic
  std::int32_t m_nVSync = 0;       // 0 off, 1 on, 2 or more automatic
  std::int32_t m_nShowFps = 0;     // non-zero: the frame-rate text is drawn
  std::string m_szFreeStage;       // stage file to test-play at start; empty: none
};

extern SYSTEMINIDATA g_SystemIni;

inline constexpr std::size_t MAX_FREE_STAGE_BYTES = 259;

// Settings 0 to 4 take the integer defaults of descriptors 0 to 4, setting 5 the text
// default of descriptor 5. A missing descriptor is reported as a bad index and its
// setting keeps its value.
void SetSystemIniDefaults(SYSTEMINIDATA& ini, const cVector<cEdSetting>& settings);
// 1 when the file was read up to its "Exit" line or NUL byte, 0 when it cannot be read
// or ends without either (the values read before then stay: the caller applies the
// defaults again). A UTF-8 byte-order mark at the start is skipped.
int LoadSystemIni(std::string_view path, SYSTEMINIDATA& ini, const cVector<cEdSetting>& settings);
// The same over a file's bytes.
int ParseSystemIni(std::string_view bytes, SYSTEMINIDATA& ini, const cVector<cEdSetting>& settings);
