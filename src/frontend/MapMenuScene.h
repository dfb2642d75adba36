// The map menu (scene 2), opened with cancel on the world map: save the game into one
// of the story slots, switch auto-save, go back to the map or return to the title.
#pragma once
#include <cstdint>
#include <vector>

#include "base/Scene.h"
#include "base/Vector.h"
#include "gfx/DDSurface.h"

// Map-menu item kinds: the index of the item in the system settings' map menu.
enum : std::int32_t { MAPMENU_SAVE = 0, MAPMENU_AUTOSAVE, MAPMENU_BACK, MAPMENU_TITLE, MAPMENU_KIND_COUNT };

class cMapMenuScene : public cScene {
 public:
  cMapMenuScene();
  ~cMapMenuScene() override;

  void Run() override;
  void Init() override;
  void FadeIn() override;
  void FadeOut() override;

  void Menu();
  void Save();
  void AutoSave();
  void BackToMap();
  void ReturnToTitle();
  // The menu window, the best-total line and the colour cycle onto the back buffer.
  void DrawMenu();

  std::int32_t m_nItemCount = 1;
  std::int32_t m_aItemKinds[MAPMENU_KIND_COUNT] = {};
  std::int32_t m_nScrollTop = 0;
  std::int32_t m_nVisibleRows = 0;
  cVector<void (cMapMenuScene::*)()> m_Phases;
};
