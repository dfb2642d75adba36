// Damaged files of every record class: each fails to load, never reads past its data,
// never allocates by a count the data cannot hold, and leaves a record that still saves.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "DamagedFileHarness.h"
#include "FakeRefs.h"
#include "gamedata/Database.h"
#include "gamedata/Flow.h"
#include "gamedata/Option.h"
#include "gamedata/Vocabulary.h"
#include "gamedata/RecordList.h"
#include "gamedata/System.h"
#include "gamedata/WorldMap.h"
#include "RecordTestUtil.h"

namespace {

using damaged::BaseBodySize;
using damaged::FileOf;
using damaged::Kind;
using damaged::LoadImage;

Kind OptionKind() {
  cOption option;
  option.m_strRankName = "abc";
  return {"option", [] { return std::make_unique<cOption>(); }, FileOf(option), {4, 24, 28}};
}

Kind WorldMapKind() {
  cEdWorldMap map;
  map.m_strPicture = "pic";
  cEdMapPoint& p = map.m_Points.emplace_back();
  p.m_strName = "p";
  p.m_Entries.resize(2);
  cDataWriter body;
  map.cRecord::Save(body);
  cDataWriter worlds;
  SaveRecordList(worlds, map.m_Worlds);
  cDataWriter grid;
  SaveValueList(grid, map.m_Grid);
  const std::size_t nBody = 4 + body.Bytes().size();
  const std::size_t nGrid = nBody + worlds.Bytes().size();
  const std::size_t nPoints = nGrid + grid.Bytes().size();
  // Member count, string count, first string, kind count, first kind's member count,
  // grid count, point count, the point's member count and its entry count.
  return {"world map",
          [] { return std::make_unique<cEdWorldMap>(); },
          FileOf(map),
          {4, 40, 44, nBody, nBody + 4, nGrid, nPoints, nPoints + 4, nPoints + 4 + 8 + 4 + 4 + 2 + 4}};
}

template <class T>
Kind PlainKind(const char* name, T record, std::vector<std::size_t> counts) {
  return {name, [] { return std::make_unique<T>(); }, FileOf(record), std::move(counts)};
}

cEdCommand SampleCommand() {
  cEdCommand c;
  c.m_nType = CMD_STATUS2;
  c.m_strText = "ab";
  c.NewMove();
  c.NewShot();
  cEdFlow& f = c.m_Flows.emplace_back();
  f.m_Conditions.resize(1);
  f.m_KeyConditions.resize(1);
  return c;
}

// Offsets of a flow's counts that follow its body at nAt: conditions, their first
// member count, key steps, the first step's key-state count, commands.
void FlowCounts(cEdFlow& f, std::size_t nAt, std::vector<std::size_t>& counts) {
  std::size_t at = nAt + BaseBodySize(f);
  counts.push_back(at);
  counts.push_back(at + 4);
  at += 4 + BaseBodySize(f.m_Conditions[0]);
  counts.push_back(at);
  counts.push_back(at + 4 + BaseBodySize(f.m_KeyConditions[0]));
  at += 4 + BaseBodySize(f.m_KeyConditions[0]) + 4 + f.m_KeyConditions[0].m_KeyStates.size();
  counts.push_back(at);
}

Kind CommandKind() {
  cEdCommand c = SampleCommand();
  std::string file = FileOf(c);
  // Member count, string count, text length, the payloads' member counts, the carried
  // flows' count and everything in the flow, the parameter count.
  std::vector<std::size_t> counts = {4, 4 + 4 + 12, 4 + 4 + 12 + 4};
  std::size_t at = 4 + BaseBodySize(c);
  counts.push_back(at + 4);
  at += 4 + BaseBodySize(*c.m_pMove);
  counts.push_back(at + 4);
  at += 4 + BaseBodySize(*c.m_pShot);
  counts.push_back(at);
  FlowCounts(c.m_Flows[0], at + 4, counts);
  counts.push_back(file.size() - 4 - 4 * c.m_Params.size());
  return {"command", [] { return std::make_unique<cEdCommand>(); }, file, counts};
}

Kind FlowKind() {
  cEdFlow f;
  f.m_Conditions.resize(1);
  f.m_KeyConditions.resize(1);
  f.m_Commands.push_back(SampleCommand());
  std::vector<std::size_t> counts = {4, 4 + 4 + 8};
  FlowCounts(f, 4, counts);
  counts.push_back(counts.back() + 4);  // the first command's member count
  return {"flow", [] { return std::make_unique<cEdFlow>(); }, FileOf(f), counts};
}

Kind SystemKind() {
  cEdSystem system;
  system.m_strTitle = "title";
  const std::size_t nBody = 4 + BaseBodySize(system);
  // Member count, string count, title length, then the counts of the carry-over lists,
  // of the HUD items and of the first item's members.
  return {"system settings",
          [] { return std::make_unique<cEdSystem>(); },
          FileOf(system),
          {4, nBody - 4 - 6 - 4, nBody - 4 - 6, nBody, nBody + 29, nBody + 58, nBody + 62}};
}

Kind AnimeSetKind() {
  cEdAnimeSet set;
  const std::size_t nSlots = 4 + BaseBodySize(set);
  const std::size_t nFrames = nSlots + 4 + BaseBodySize(set.m_Slots[0]);
  // Member count, slot count, the first slot's member count and frame count, the first
  // frame's member count.
  return {"animation set",
          [] { return std::make_unique<cEdAnimeSet>(); },
          FileOf(set),
          {4, nSlots, nSlots + 4, nFrames, nFrames + 4}};
}

class DamagedFileTest : public rt::RecordFixture {
 protected:
  std::vector<Kind> Kinds() {
    cEdCondition condition;
    condition.m_nKind = 4;
    cEdKeyCondition step;
    return {OptionKind(),
            WorldMapKind(),
            PlainKind("condition", condition, {4, 4 + 4 + 28}),
            PlainKind("key condition", step, {4, 4 + 4 + 7, 4 + 4 + 7 + 4}),
            PlainKind("move", cEdMove(), {4, 4 + 4 + 52}),
            PlainKind("shot", cEdShot(), {4, 4 + 4 + 91}),
            CommandKind(),
            FlowKind(),
            SystemKind(),
            AnimeSetKind(),
            PlainKind("sword type", cEdSwordType(), {4, 12, 16, 28, 32}),  // then its entries
            PlainKind("effect", cEdEffect(), {4, 4 + 4 + 16, 36}),         // then its frames
            PlainKind("screen effect", cEdScrEffect(), {4, 4 + 4 + 24}),
            PlainKind("music", cEdBgm(), {4, 4 + 4 + 4})};
  }
  rt::ScopedRefs refs_;
};

TEST_F(DamagedFileTest, SoundFilesLoadWhole) { damaged::ExpectSoundFilesLoadWhole(Kinds()); }

TEST_F(DamagedFileTest, EveryTruncationFails) { damaged::ExpectEveryTruncationFails(Kinds()); }

TEST_F(DamagedFileTest, HugeCountsAndLengthsFail) { damaged::ExpectHugeCountsAndLengthsFail(Kinds()); }

TEST_F(DamagedFileTest, WorldMapGridMustMatchItsSize) {
  struct Case {
    const char* name;
    std::function<void(cEdWorldMap&)> damage;
  };
  const Case cases[] = {
      {"grid one short", [](cEdWorldMap& m) { m.m_Grid.pop_back(); }},
      {"pitch not a power of two", [](cEdWorldMap& m) { m.m_nPitch = 30; }},
      {"pitch below the width", [](cEdWorldMap& m) { m.m_nWidth = 40; }},
      {"shift of 40", [](cEdWorldMap& m) { m.m_nPitchShift = 40; }},
      {"height 0", [](cEdWorldMap& m) { m.m_nHeight = 0; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cEdWorldMap map;
    c.damage(map);
    cDataWriter out;
    out.WriteU32(513);
    map.cRecord::Save(out);
    SaveRecordList(out, map.m_Worlds);
    SaveValueList(out, map.m_Grid);
    out.WriteU32(0);
    out.WriteU32(0);
    cEdWorldMap back;
    back.m_nStartX = 3;
    EXPECT_FALSE(LoadImage(back, out.Bytes()));
    // The map is then the default map.
    EXPECT_EQ(back.m_nStartX, 9);
    EXPECT_EQ(back.m_Grid.size(), 480u);
  }
}

}  // namespace
