#include "SampleDatabase.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "SampleBitmaps.h"
#include "SampleMusic.h"
#include "SampleProject.h"
#include "SampleSounds.h"
#include "gamedata/DataPaths.h"

namespace sample {

namespace {

// An animation of (pattern, tenths of a second) frames.
cEdAnime Anime(const char* name, std::initializer_list<std::pair<int, int>> frames) {
  cEdAnime anime;
  anime.m_strName = name;
  anime.m_Frames.clear();
  for (const auto& [pattern, time] : frames) {
    cEdAnimeFrame frame;
    frame.m_nPattern = pattern;
    frame.m_nTime = time;
    anime.m_Frames.push_back(frame);
  }
  return anime;
}

template <class T>
void Media(cVector<T>& list, const std::vector<std::string>& files) {
  list.ResetRecords(1 + static_cast<int>(files.size()));
  for (std::size_t i = 0; i < files.size(); ++i) {
    T& entry = list[static_cast<int>(i) + 1];
    entry.m_strFile = files[i];
    const auto slash = files[i].rfind('\\');
    const auto dot = files[i].rfind('.');
    entry.m_strName = files[i].substr(slash + 1, dot - slash - 1);
  }
}

// The parameters of a kind at their defaults, the running time given.
template <class T>
T KindEffect(int kind, const char* name, int time, const EFFECTPARAM (*params)[EFFECT_PARAM_COUNT]) {
  T effect;
  effect.m_nKind = kind;
  effect.m_strName = name;
  for (int p = 0; p < EFFECT_PARAM_COUNT; ++p) effect.m_nParams[p] = params[kind][p].nDefault;
  effect.m_nParams[0] = time;
  return effect;
}

}  // namespace

void BuildDatabase(cEdDatabase& db) {
  db.Reset();

  // The hero's set: patterns 0 and 1 of its row, standing and walking alike in flight.
  cEdAnimeSet hero;
  hero.m_strName = "主人公";
  hero.m_nInvincibleOffset = 4;
  hero.m_nBlockCharaOffset = 8;
  hero.m_nFlyingOffset = 0;
  hero.m_Slots[ANIME_SLOT_STAND] = Anime("立ち", {{0, 5}});
  hero.m_Slots[ANIME_SLOT_MOVE] = Anime("立ち移動", {{0, 2}, {1, 2}});
  hero.m_Slots[ANIME_SLOT_FLY] = Anime("飛行", {{0, 5}});
  hero.m_Slots[ANIME_SLOT_FLY_MOVE] = Anime("飛行移動", {{0, 2}, {1, 2}});
  db.m_AnimeSets.push_back(hero);

  cEdEffect hit;
  hit.m_strName = "ヒット";
  hit.m_strFile = HIT_EFFECT_BITMAP;
  for (int cell = 0; cell < 3; ++cell) {
    cEdEffectFrame frame;
    frame.m_nPattern = cell;
    frame.m_nTime = 1;
    hit.m_Frames.push_back(frame);
  }
  db.m_Effects[EFFECT_HIT] = hit;

  db.m_CharaEffects[CHARA_EFFECT_ENTRY_BLINK] =
      KindEffect<cEdCharaEffect>(CHARA_EFFECT_BLINK, "点滅", 10, g_CharaEffectParams);
  db.m_ScrEffects[SCR_EFFECT_ENTRY_SHAKE] =
      KindEffect<cEdScrEffect>(SCR_EFFECT_SHAKE_X, "振動（横）", 5, g_ScrEffectParams);
  db.m_CharaEffects[0].m_nKind = 0;
  db.m_ScrEffects[0].m_nKind = 0;

  // A two-pattern action played over an actor; a sword that slashes in front for two
  // tenths; the gallery's sign.
  db.m_Animes[ANIME_ACTION] = Anime("アクションA", {{2, 2}, {3, 2}, {0, 2}});
  cEdSwordType& sword = db.m_SwordTypes[SWORD_TYPE_SLASH];
  sword.m_strName = "ソード";
  sword.m_strFileLeft = SWORD_LEFT_BITMAP;
  sword.m_strFileRight = SWORD_RIGHT_BITMAP;
  cEdSwordEntry& slash = sword.m_Entries[0];
  slash.m_nWidth = 32;
  slash.m_nHeight = 32;
  slash.m_nTime = 2;
  db.m_Pictures[PICTURE_SIGN].m_strName = "看板";
  db.m_Pictures[PICTURE_SIGN].m_strFile = SIGN_PICTURE_BITMAP;

  Media(db.m_Sounds, DatabaseSoundPaths());
  Media(db.m_Bgms, DatabaseMusicPaths());
}

void SaveDatabase(cEdDatabase& db, ProjectWriter& w) {
  // The "default\" twin of each file follows its "data\" path in the path table.
  auto save = [&](auto& list, int file) {
    const char* path = g_PathTable[PATH_ANIME_SET + 2 * file + 1];
    if (!w.Failed()) w.Check(SaveDatabaseFile(list, path), path);
  };
  save(db.m_AnimeSets, 0);
  save(db.m_Animes, 1);
  save(db.m_BmpCharaExcs, 2);
  save(db.m_SwordTypes, 3);
  save(db.m_Effects, 4);
  save(db.m_CharaEffects, 5);
  save(db.m_ScrEffects, 6);
  save(db.m_Pictures, 7);
  save(db.m_Sounds, 8);
  save(db.m_Bgms, 9);
}

}  // namespace sample
