// cMessagePopup: a popup over the stage: a text window, a small item icon that rises over
// the player, the extra-life icon, or an invisible timer that stands while the game
// waits. Text popups keep their rendered text in a surface of g_MessageSurfaces.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Vector.h"
#include "gfx/DDSurface.h"

// Kinds of popup.
enum : std::int32_t { POPUP_TIMER = 0, POPUP_TEXT = 1, POPUP_ITEM_ICON = 2, POPUP_EXTRA_LIFE = 3 };

// Placements: the screen centre; above, below or on the centre of the actor itself or of
// the hero; at screen coordinates; at stage coordinates.
enum : std::int32_t {
  PLACE_SCREEN_CENTRE = 0,
  PLACE_ABOVE_SELF = 1,
  PLACE_BELOW_SELF = 2,
  PLACE_ON_SELF = 3,
  PLACE_ABOVE_HERO = 4,
  PLACE_BELOW_HERO = 5,
  PLACE_ON_HERO = 6,
  PLACE_SCREEN = 7,
  PLACE_STAGE = 8,
};

// Frames an item icon or the extra-life icon stays up.
inline constexpr int ICON_POPUP_FRAMES = 30;

class cMessagePopup {
 public:
  cMessagePopup() = default;
  // An empty text stands for none. The text of a text popup is rendered into a new
  // surface at the end of g_MessageSurfaces; with bEscapes its "#" escapes are expanded
  // first. bContinued: the popup goes on from the previous message's window, so it opens
  // without the growing frame.
  cMessagePopup(int nKind, std::string_view text, int nGraphicKind, int nGraphicIndex, int nGraphicParam,
                int nPlacement, int nBlockX, int nBlockY, int nPixelX, int nPixelY, int bKeepInside, int nMode,
                int nFrames, int bHalting, int nAnchor, int bContinued, int bEscapes);

  // Replaces the escapes "#C<n>" and "#S<n>" (common and stage variable n, 1 to 255),
  // optionally followed by "_" and a format of a width digit, "P" (plus sign) and "Z"
  // (zero padding), and ended by a "." that disappears with it.
  static void ExpandEscapes(std::string& text);
  // The text drawn into the popup's surface.
  void RenderText(DDSURFACEDATA* surface);
  // The top-left on screen this frame; false when the actor it follows is gone.
  bool Position(int& x, int& y) const;
  // 1 when the popup has ended (a text popup has then released its surface). Frozen
  // frames do not count down a popup that does not halt the game.
  int Draw(DDSURFACEDATA* target, int bFrozen);
  // Releases the text surface of a text popup (nothing for the other kinds).
  void ReleaseSurface();

  DDSURFACEDATA* m_pSurface = nullptr;  // in g_MessageSurfaces; not owned
  DDSURFACEINFO* m_pSurfaceInfo = nullptr;
  std::int32_t m_nKind = POPUP_TIMER;
  std::string m_strText;
  std::int32_t m_nGraphicKind = 0;
  std::int32_t m_nGraphicIndex = 0;
  std::int32_t m_nGraphicParam = 0;
  std::int32_t m_nPlacement = PLACE_SCREEN_CENTRE;
  std::int32_t m_nBlockX = 0;
  std::int32_t m_nBlockY = 0;
  std::int32_t m_nPixelX = 0;
  std::int32_t m_nPixelY = 0;
  std::int32_t m_nWidth = 0;
  std::int32_t m_nHeight = 0;
  std::int32_t m_bKeepInside = 0;
  std::int32_t m_nMode = 0;    // 0 until the advance key, 1 until the stage ends, 2 for a time
  std::int32_t m_nAnchor = 0;  // serial of the actor that placements 1 to 6 follow
  std::int32_t m_nFrames = 0;
  std::int32_t m_bHalting = 0;
  std::int32_t m_bZoom = 0;
  double m_dZoomCounter = 0.0;
  // Tells this popup apart from the others in the list, so that whoever showed it can
  // take exactly this one down again.
  std::int32_t m_nId = 0;
};

extern cVectorList<DDSURFACEDATA> g_MessageSurfaces;
extern cVectorList<DDSURFACEINFO> g_MessageSurfaceInfos;

// Takes the popup nId out of the list, with its text surface; nothing when it has
// already ended.
void RemovePopup(cVectorList<cMessagePopup>& popups, int nId);
