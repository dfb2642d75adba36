// The challenge mode's list of stages (scene 3): each open stage with its clear sign and
// best value, the ranking panel of the stage under the cursor on request, and the start
// of the chosen stage. The cursor row and scroll stay in the scene manager across a stage.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/Scene.h"
#include "base/Vector.h"
#include "gfx/DDSurface.h"

// Path of challenge stage n (from 1): its first part.
std::string ChallengeStagePath(int nStage);

class cStageSelectScene : public cScene {
 public:
  cStageSelectScene();
  ~cStageSelectScene() override;

  void Run() override;
  void Init() override;
  void FadeIn() override;
  void FadeOut() override;
  void CollectSurfaces(std::vector<DDSURFACEDATA*>& out) override;

  void SelectStage();
  // The stage key of the play record, and the stage's rankings when the mode keeps them.
  void SelectStageName(int nStage);
  void Draw(DDSURFACEDATA* surface);

  std::int32_t m_nScrollTop = 0;
  std::int32_t m_nStageCount = 0;
  std::int32_t m_nVisibleRows = 0;
  cVector<void (cStageSelectScene::*)()> m_Phases;
  cVector<DDSURFACEDATA> m_WorkSurfaces;  // the list
  cVector<DDSURFACEINFO> m_WorkInfos;

 private:
  void CountRows();
  void Redraw();
  void ShowList();
};
