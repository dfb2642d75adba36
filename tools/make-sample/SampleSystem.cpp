#include "SampleSystem.h"

#include "SampleMusic.h"
#include "SampleSounds.h"

namespace sample {

void BuildSystem(cEdSystem& system) {
  system.SetDefaults();
  system.m_strTitle = GAME_TITLE;
  system.m_nColorMode = 0;
  system.m_bPaletteCycle = 1;
  system.m_bTitleMenuPicture = 0;
  system.m_nChallengeStages = 2;
  system.m_bChallengeAllOpen = 1;
  system.m_bKeepTestOnlyFlows = 0;
  // The options scene's first row (kind 0, the palette variant) has no label by default.
  system.m_OptionMenu[0].m_strText = "パレット";
  // The challenge list numbers its stages after this text: they are challenges here.
  system.m_Texts[0] = "チャレンジ";
  // No hero of the sample has SP: its gauge would stay empty, so the bar leaves it out.
  system.m_HudItems[3].m_bShow = 0;
  for (int n = 0; n < SYSTEM_SOUND_COUNT; ++n) system.m_SoundFiles[n] = SystemSoundPath(n);
  system.m_SceneBgm = {BGM_TITLE, BGM_WORLD_MAP, BGM_CHALLENGE, BGM_OPTION};
  system.m_SceneBgmLoop.assign(SCENE_BGM_COUNT, 1);
  // The settings that "System.ini" falls back on: Direct3D, in a window, automatic depth,
  // vertical sync, no frame rate, no stage to test-play.
  const int defaults[SYSTEM_SETTING_COUNT - 1] = {1, 1, 0, 1, 0};
  for (int i = 0; i < SYSTEM_SETTING_COUNT - 1; ++i) system.m_Settings[i].m_nDefault = defaults[i];
  system.m_Settings[SYSTEM_SETTING_COUNT - 1].m_strDefault.clear();
}

}  // namespace sample
