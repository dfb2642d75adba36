// The title screen (scene 0): the project's title picture and the title menu, which
// starts one of the four game modes or opens the options. The kind of the item chosen
// last stays in the scene manager's menu choice, so the cursor comes back to it.
#pragma once
#include <cstdint>
#include <vector>

#include "base/Scene.h"
#include "base/Vector.h"
#include "frontend/MenuHelpers.h"
#include "gfx/DDSurface.h"

// Title-menu item kinds: the index of the item in the system settings' title menu.
enum : std::int32_t {
  TITLE_NEW_GAME = 0,
  TITLE_CONTINUE,
  TITLE_CHALLENGE,
  TITLE_FREE,
  TITLE_REPLAY,
  TITLE_OPTIONS,
  TITLE_EXIT,
  TITLE_KIND_COUNT
};

// Top-left corners of the menu window and of the continue list; the menu's x follows
// the game-mode picture when the menu is drawn from it.
extern POINTI g_TitleMenuPos;
extern const POINTI g_SlotListPos;

class cTitleScene : public cScene {
 public:
  cTitleScene();
  ~cTitleScene() override;

  void Run() override;
  void Init() override;
  void FadeIn() override;
  void FadeOut() override;
  void CollectSurfaces(std::vector<DDSURFACEDATA*>& out) override;

  void MainMenu();
  void ContinueList();

  // The stage-file dialog through the main window; true when a stage was loaded.
  bool OpenStageFileDialog();
  void Draw();
  void BuildMenuWindow();
  void DrawMenuWindow(DDSURFACEDATA* surface);
  // Width of the menu window for the enabled items.
  std::int32_t MenuWindowWidth() const;

  std::int32_t m_nItemCount = 1;
  std::int32_t m_aItemKinds[TITLE_KIND_COUNT] = {};
  std::int32_t m_nScrollTop = 0;
  std::int32_t m_nVisibleRows = 0;
  cVector<void (cTitleScene::*)()> m_Phases;
  cVector<DDSURFACEDATA> m_WorkSurfaces;  // the menu window
  cVector<DDSURFACEINFO> m_WorkInfos;
};
