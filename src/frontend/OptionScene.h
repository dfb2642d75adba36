// The options screen (scene 5): the user's palette, music switch, sound volume, ranking
// registration mode and ranking name. Palette and volume take effect while they are
// edited; leaving saves the options and sets the music player up for the new setting.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/Scene.h"
#include "base/Vector.h"
#include "gfx/DDSurface.h"

// Option item kinds: the index of the item in the system settings' option menu.
enum : std::int32_t {
  OPTION_PALETTE = 0,
  OPTION_MUSIC,
  OPTION_VOLUME,
  OPTION_RANK_MODE,
  OPTION_RANK_NAME,
  OPTION_BACK,
  OPTION_KIND_COUNT
};

// Labels of the ranking registration modes 0 to 3.
extern const char* const RegistrationModeLabels[4];

// Releases the music player and, with music on, makes it again with the default tracks.
void ResetBgmPlayer();
// Every buffer of the sound table at the volume of step 0 to 10.
void SetSoundTableVolume(int nStep);

class cOptionScene : public cScene {
 public:
  cOptionScene();
  ~cOptionScene() override;

  void Run() override;
  void Init() override;
  void FadeIn() override;
  void FadeOut() override;
  void CollectSurfaces(std::vector<DDSURFACEDATA*>& out) override;

  void Menu();
  void DrawOptionScreen();
  // The value text of an item kind.
  static std::string ValueText(int nKind);

  std::int32_t m_nItemCount = 1;
  std::int32_t m_aItemKinds[OPTION_KIND_COUNT] = {};
  std::int32_t m_nKind = 0;  // the kind being edited
  std::int32_t m_nSaved = 0;
  std::int32_t* m_pValue = nullptr;
  std::int32_t m_nMin = 0;
  std::int32_t m_nMax = 0;
  cVector<void (cOptionScene::*)()> m_Phases;
  cVector<DDSURFACEDATA> m_WorkSurfaces;  // the option screen
  cVector<DDSURFACEINFO> m_WorkInfos;

 private:
  void ChooseItem();
  void ChangeValue();
  // The effect of the edited value: the palette or the volume follows it.
  void ApplyValue();
  void ShowScreen();
};
