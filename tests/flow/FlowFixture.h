// A running stage for the flow tests: a stage scene with its variables, one player and
// one character (the player's target by choice of the test), the common variables of the
// play record, a stage of two sub-steps per frame, and everything put back after.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/Random.h"
#include "records/PlayRecord.h"
#include "gamedata/Stage.h"
#include "platform/msgbox.h"
#include "stage/Chara.h"
#include "stage/Player.h"
#include "stage/StageScene.h"
#include "test_support/LogCapture.h"

namespace flowtest {

class FlowFixture : public test_support::LogCapture {
 protected:
  void SetUp() override {
    LogCapture::SetUp();
    savedSubSteps_ = g_Stage.m_dSubSteps;
    savedSubSteps2_ = g_Stage.m_dSubSteps2;
    savedRecord_ = {g_PlayRecord.m_nLives, g_PlayRecord.m_nStageScore};
    g_Stage.m_dSubSteps = 2.0;
    g_Stage.m_dSubSteps2 = 4.0;
    savedVariables_ = g_PlayRecord.m_CommonVariables;
    g_PlayRecord.m_CommonVariables.assign(COMMON_VARIABLE_COUNT, 0);
    g_PlayRecord.m_nLives = 3;
    g_PlayRecord.m_nStageScore = 0;
    scene_ = std::make_unique<cStageScene>();
    scene_->m_nTimeLeft = 100;
    g_StageScene = scene_.get();
    g_Stage.m_nScrollModeX = g_Stage.m_nScrollModeY = 1;
    g_Stage.m_nAutoScrollX = g_Stage.m_nAutoScrollY = 0;
    g_Players.clear();
    g_Players.resize(1);
    Prepare(Player());
    Prepare(chara_);
    Srand(1);
  }
  void TearDown() override {
    g_StageScene = nullptr;
    g_Players.clear();
    g_Stage.m_dSubSteps = savedSubSteps_;
    g_Stage.m_dSubSteps2 = savedSubSteps2_;
    g_PlayRecord.m_CommonVariables = savedVariables_;
    g_PlayRecord.m_nLives = savedRecord_[0];
    g_PlayRecord.m_nStageScore = savedRecord_[1];
    g_Stage.m_nScrollModeX = g_Stage.m_nScrollModeY = 0;
    g_Stage.m_nAutoScrollX = g_Stage.m_nAutoScrollY = 0;
    LogCapture::TearDown();
  }

  // HP 50 of 100, SP 20 of 40, eight zero variables.
  static void Prepare(cActor& a) {
    a.m_Def.m_nMaxHP = 100;
    a.m_nHp = 50;
    a.m_Def.m_nMaxSP = 40;
    a.m_nSp = 20;
    a.m_Variables.assign(9, 0);
  }
  static cPlayer& Player() { return g_Players[0]; }
  int& C(int n) { return g_PlayRecord.m_CommonVariables[n]; }
  int& S(int n) { return scene_->m_StageVariables[n]; }
  static std::vector<std::string> Boxes() {
    std::vector<std::string> out;
    for (const auto& b : plat::box_script::shown()) out.push_back(b.textCp932);
    return out;
  }

  std::unique_ptr<cStageScene> scene_;
  cChara chara_;
  double savedSubSteps_ = 0, savedSubSteps2_ = 0;
  std::vector<std::int32_t> savedRecord_;
  cVector<std::int32_t> savedVariables_;
};

// A flow of the given trigger and commands, as the editor saves it.
inline cEdFlow Flow(int trigger, std::vector<cEdCommand> commands, int sw = 0, int id = 0) {
  cEdFlow f;
  f.m_nTrigger = static_cast<std::int8_t>(trigger);
  f.m_nSwitch = static_cast<std::int8_t>(sw);
  f.m_nID = static_cast<std::int8_t>(id);
  for (cEdCommand& c : commands) f.m_Commands.push_back(c);
  return f;
}

}  // namespace flowtest
