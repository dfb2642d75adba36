// The effect lists of the database for one test: replaced by the test's own entries, the
// run-time tables built from them, and the lists and tables put back afterwards.
#pragma once
#include <initializer_list>
#include <utility>
#include <vector>

#include "gamedata/Database.h"
#include "stage/RunTimeTables.h"

namespace stagetest {

class ScopedEffectData {
 public:
  ScopedEffectData()
      : effects_(g_Database.m_Effects),
        chara_(g_Database.m_CharaEffects),
        scr_(g_Database.m_ScrEffects),
        charaR_(g_Database.m_CharaEffectsReversed),
        scrR_(g_Database.m_ScrEffectsReversed),
        anime_(g_AnimeFrameTables),
        effectTables_(g_EffectFrameTables),
        charaStates_(g_CharaEffectStates),
        charaStatesR_(g_CharaEffectStatesReversed),
        scrStates_(g_ScrEffectStates),
        scrStatesR_(g_ScrEffectStatesReversed) {
    g_Database.m_Effects.assign(1, cEdEffect());
    g_Database.m_CharaEffects.assign(1, Kind<cEdCharaEffect>(0, {}));
    g_Database.m_ScrEffects.assign(1, Kind<cEdScrEffect>(0, {}));
  }
  ~ScopedEffectData() {
    g_Database.m_Effects = effects_;
    g_Database.m_CharaEffects = chara_;
    g_Database.m_ScrEffects = scr_;
    g_Database.m_CharaEffectsReversed = charaR_;
    g_Database.m_ScrEffectsReversed = scrR_;
    g_AnimeFrameTables = anime_;
    g_EffectFrameTables = effectTables_;
    g_CharaEffectStates = charaStates_;
    g_CharaEffectStatesReversed = charaStatesR_;
    g_ScrEffectStates = scrStates_;
    g_ScrEffectStatesReversed = scrStatesR_;
  }
  ScopedEffectData(const ScopedEffectData&) = delete;
  ScopedEffectData& operator=(const ScopedEffectData&) = delete;

  template <class T>
  static T Kind(int nKind, std::initializer_list<int> params) {
    T e;
    e.m_nKind = nKind;
    int i = 0;
    for (int p : params) e.m_nParams[i++] = p;
    return e;
  }
  // An effect of cells w x h playing the frames {pattern, tenths}; returns its number.
  static int AddEffect(int w, int h, std::vector<std::pair<int, int>> frames, int bScaled = 0) {
    cEdEffect e;
    e.m_nCellWidth = w;
    e.m_nCellHeight = h;
    e.m_bScaled = bScaled;
    for (auto [pattern, tenths] : frames) {
      cEdEffectFrame f;
      f.m_nPattern = pattern;
      f.m_nTime = tenths;
      e.m_Frames.push_back(f);
    }
    g_Database.m_Effects.push_back(e);
    return g_Database.m_Effects.Size() - 1;
  }
  static int AddCharaEffect(int nKind, std::initializer_list<int> params) {
    g_Database.m_CharaEffects.push_back(Kind<cEdCharaEffect>(nKind, params));
    return g_Database.m_CharaEffects.Size() - 1;
  }
  static int AddScrEffect(int nKind, std::initializer_list<int> params) {
    g_Database.m_ScrEffects.push_back(Kind<cEdScrEffect>(nKind, params));
    return g_Database.m_ScrEffects.Size() - 1;
  }
  // The run-time tables from the entries added so far.
  static void Build() { BuildDatabaseTables(); }

 private:
  cVector<cEdEffect> effects_;
  cVector<cEdCharaEffect> chara_;
  cVector<cEdScrEffect> scr_;
  cVector<cEdCharaEffect> charaR_;
  cVector<cEdScrEffect> scrR_;
  cAnimeStepTables anime_, effectTables_;
  cVector<cCharaEffectState> charaStates_, charaStatesR_;
  cVector<cScreenEffectState> scrStates_, scrStatesR_;
};

}  // namespace stagetest
