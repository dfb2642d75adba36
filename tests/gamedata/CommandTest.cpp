#include "gamedata/Command.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "FakeRefs.h"
#include "RecordTestUtil.h"
#include "base/AppGlobals.h"
#include "gamedata/Flow.h"
#include "gamedata/Vocabulary.h"

namespace {

using Params = std::vector<std::int32_t>;

class CommandTest : public rt::RecordFixture {
 protected:
  rt::ScopedRefs refs_;
};

// A command as a file of an older version stores it: its body and payloads in that
// version's layout and the parameters exactly as given.
std::string OldCommand(cEdCommand& c, std::uint32_t version, const Params& params) {
  rt::ScopedDataVersion v(version);
  cDataWriter out;
  c.cRecord::Save(out);
  out.WriteU32(c.m_pMove ? 1 : 0);
  if (c.m_pMove) c.m_pMove->cRecord::Save(out);
  out.WriteU32(c.m_pShot ? 1 : 0);
  if (c.m_pShot) c.m_pShot->cRecord::Save(out);
  out.WriteU32(static_cast<std::uint32_t>(c.m_Flows.size()));
  for (cEdFlow& f : c.m_Flows) f.Save(out);
  out.WriteU32(static_cast<std::uint32_t>(params.size()));
  for (std::int32_t p : params) out.WriteValue(p);
  return out.Bytes();
}

cEdCommand Make(int set, int type) {
  cEdCommand c;
  c.m_nSet = static_cast<std::int8_t>(set);
  c.m_nType = static_cast<std::int8_t>(type);
  return c;
}

TEST_F(CommandTest, RoundTripWithPayloadsFlowsAndParameters) {
  cEdCommand c = Make(0, CMD_SHOT);
  c.m_strText = "テキスト";
  c.m_nTime = 30;
  c.m_nTimePerLevel = -2;
  c.m_bParallel = 1;
  c.m_nSound = 4;
  c.m_bSoundOnScreen = 0;
  c.m_nAnime = 2;
  c.NewMove();
  c.m_pMove->m_nSpeed = 77;
  c.NewShot();
  c.m_pShot->m_nGraphic = 119;
  cEdFlow& f = c.m_Flows.emplace_back();
  f.m_nTrigger = 19;
  f.m_Commands.push_back(Make(0, CMD_JUMP));

  const std::string body = rt::SaveBody(c);
  EXPECT_EQ(rt::ReadU32At(body, 0), 8u);
  cEdCommand back;
  ASSERT_TRUE(rt::LoadBody(back, body));
  EXPECT_TRUE(rt::SameBytes(rt::SaveBody(back), body));
  ASSERT_TRUE(back.m_pMove && back.m_pShot);
  EXPECT_EQ(back.m_pMove->m_nSpeed, 77);
  EXPECT_EQ(back.m_pShot->m_nGraphic, 119);
  ASSERT_EQ(back.m_Flows.size(), 1u);
  EXPECT_EQ(back.m_Flows[0].m_Commands[0].m_Params.size(), 5u);
  EXPECT_EQ(back.m_strText, "テキスト");
}

TEST_F(CommandTest, PayloadFlagsInOrder) {
  cEdCommand c = Make(0, CMD_SUMMON_ITEM);
  c.NewShot();
  std::string body = rt::SaveBody(c);
  // Body: N, 12 bytes, S, empty text; then the movement flag, the shot flag.
  EXPECT_EQ(rt::ReadU32At(body, 24), 0u);
  EXPECT_EQ(rt::ReadU32At(body, 28), 1u);
  EXPECT_EQ(rt::ReadU32At(body, 32), 58u);  // the shot's member count follows
}

TEST_F(CommandTest, CopiesOwnTheirPayloads) {
  cEdCommand a = Make(0, CMD_MOVE_STRAIGHT);
  a.NewMove();
  a.NewShot();
  a.m_pMove->m_nSpeed = 5;
  cEdCommand inner = a;
  a.m_Flows.emplace_back().m_Commands.push_back(inner);

  cEdCommand copied(a);
  cEdCommand assigned;
  assigned = a;
  cVector<cEdCommand> grown;
  for (int i = 0; i < 20; ++i) grown.push_back(a);  // copies made while the list grows
  for (cEdCommand* c : {&copied, &assigned, &grown[0], &grown[19]}) {
    ASSERT_TRUE(c->m_pMove && c->m_pShot);
    EXPECT_NE(c->m_pMove.get(), a.m_pMove.get());
    EXPECT_NE(c->m_pShot.get(), a.m_pShot.get());
    EXPECT_EQ(c->m_pMove.use_count(), 1);
    EXPECT_NE(c->m_Flows[0].m_Commands[0].m_pMove.get(), a.m_Flows[0].m_Commands[0].m_pMove.get());
    c->m_pMove->m_nSpeed = 99;
  }
  EXPECT_EQ(a.m_pMove->m_nSpeed, 5);
  EXPECT_EQ(a.m_pMove.use_count(), 1);

  cEdCommand none = Make(0, CMD_WAIT);
  assigned = none;
  EXPECT_FALSE(assigned.m_pMove);
  EXPECT_FALSE(assigned.m_pShot);
  cEdCommand& self = a;
  a = self;  // self-assignment keeps everything
  EXPECT_EQ(a.m_pMove->m_nSpeed, 5);
  a.CopyMove(a.m_pMove.get());  // a copy from its own payload
  EXPECT_EQ(a.m_pMove->m_nSpeed, 5);
}

// Commands from files of older versions: the conversion steps, then normalisation.
TEST_F(CommandTest, Upgrades) {
  struct Case {
    const char* name;
    int set, type;
    std::uint32_t version;
    Params stored;
    Params expected;
  };
  const Params abcdefghij = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  Params status(18, 0);
  status[0] = 0;
  status[3] = 1;
  status[4] = 12;
  status[6] = 0;
  status[13] = 12;
  Params statusUp = status;
  statusUp[4] = 14;
  Params operand(18, 0);
  operand[6] = 2;
  operand[12] = 0;
  operand[13] = 7;
  Params operandUp = operand;
  operandUp[13] = 8;
  Params systemOperand = operand;
  systemOperand[12] = 2;
  // Renumbering a damaged parameter that holds the largest value keeps it there.
  Params statusMax = status;
  statusMax[4] = statusMax[13] = INT32_MAX;
  Params operandMax = operand;
  operandMax[13] = INT32_MAX;
  const Case cases[] = {
      {"jump with 2 parameters gets 5", 0, CMD_JUMP, 513, {1, 2}, {1, 2, 0, 0, 0}},
      {"jump with 7 parameters keeps 5", 0, CMD_JUMP, 513, {1, 2, 3, 4, 5, 6, 7}, {1, 2, 3, 4, 5}},
      {"stage clear of 144 gets 5", 0, CMD_STAGE_CLEAR, 144, {2}, {2, 0, 0, 0, 0}},
      {"music of 165 loops", 0, CMD_BGM, 165, {3}, {3, 1}},
      {"music of 166 keeps its loop flag", 0, CMD_BGM, 166, {3, 0}, {3, 0}},
      {"status of 160: status 12 of the self moves twice", 0, CMD_STATUS, 160, status, statusUp},
      {"status of 202: an operand status 7 moves once", 0, CMD_STATUS, 202, operand, operandUp},
      {"status of 160 at the largest value", 0, CMD_STATUS, 160, statusMax, statusMax},
      {"status of 202: an operand at the largest value", 0, CMD_STATUS, 202, operandMax, operandMax},
      {"status 2 of 209 at the largest value", 0, CMD_STATUS2, 209, {0, INT32_MAX, 1}, {0, INT32_MAX, 1}},
      {"graphic of 218 at the largest value", 0, CMD_GRAPHIC, 218, {3, INT32_MAX, 0}, {3, 119, 0}},
      {"status of 160: a system operand stays", 0, CMD_STATUS, 160, systemOperand, systemOperand},
      // clang-format off
      {"status of 160 with a short list: nothing to renumber", 0, CMD_STATUS, 160, {0, 0, 0, 1, 12},
       {0, 0, 0, 1, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"target of 188 gains p[2]", 0, CMD_TARGET, 188, abcdefghij, {1, 2, 0, 3, 4, 5, 6, 7, 8, 9}},
      {"picture of 193 gains p[6] = 1", 0, CMD_PICTURE, 193, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
       // clang-format on
       {1, 2, 3, 4, 5, 6, 1, 7, 8, 9, 10}},
      {"chara effect of 194 gains p[1]", 0, CMD_CHARA_EFFECT, 194, {2, 7, 8}, {2, 0, 7}},
      {"screen effect of 194 gains p[1]", 0, CMD_SCR_EFFECT, 194, {2, 7}, {2, 0, 7}},
      {"chara summon of 202 loses its parameters", 0, CMD_SUMMON_CHARA, 202, {1, 2, 3}, {}},
      {"flow operation of 202 has 3", 0, CMD_FLOW, 202, {1, 2, 3, 4}, {1, 2, 3}},
      {"status 2 of 209: state 6 becomes 7", 0, CMD_STATUS2, 209, {0, 6, 1}, {0, 7, 1}},
      {"status 2 of 209 for the system stays", 0, CMD_STATUS2, 209, {2, 6, 1}, {2, 6, 1}},
      {"graphic of 218: kind 3 picture + 1", 0, CMD_GRAPHIC, 218, {3, 5, 0}, {3, 6, 0}},
      {"graphic of 218: at most 119", 0, CMD_GRAPHIC, 218, {3, 119, 0}, {3, 119, 0}},
      {"graphic of 219 stays", 0, CMD_GRAPHIC, 219, {3, 5, 0}, {3, 5, 0}},
      {"item music of 165 loops", 1, CMD_BGM - ITEM_TYPE_OFFSET, 165, {3}, {3, 1}},
      {"item status of 160", 1, CMD_STATUS - ITEM_TYPE_OFFSET, 160, status, statusUp},
      {"item target of 188", 1, CMD_TARGET - ITEM_TYPE_OFFSET, 188, abcdefghij, {1, 2, 0, 3, 4, 5, 6, 7, 8, 9}},
      {"item flow change has 2", 1, ITEM_CMD_FLOW_CHANGE, 202, {1, 2, 3}, {1, 2}},
      {"a type outside its table keeps its parameters", 0, 40, 513, {1, 2, 3}, {1, 2, 3}},
      {"an item type outside its table keeps its parameters", 1, 22, 513, {4}, {4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cEdCommand stored = Make(c.set, c.type);
    cEdCommand loaded;
    ASSERT_TRUE(rt::LoadBody(loaded, OldCommand(stored, c.version, c.stored), c.version));
    EXPECT_EQ(loaded.m_Params, cVector<std::int32_t>(c.expected));
  }
}

TEST_F(CommandTest, ShotGraphicOfOlderFiles) {
  const std::tuple<std::uint32_t, int, int> cases[] = {{219, 50, 51}, {219, 119, 119}, {220, 50, 50}};
  for (auto [version, graphic, expected] : cases) {
    cEdCommand stored = Make(0, CMD_SHOT);
    stored.NewShot();
    stored.m_pShot->m_nGraphic = static_cast<std::int16_t>(graphic);
    cEdCommand loaded;
    ASSERT_TRUE(rt::LoadBody(loaded, OldCommand(stored, version, {}), version));
    EXPECT_EQ(loaded.m_pShot->m_nGraphic, expected) << version << " " << graphic;
  }
}

// References into the databases (fake sizes: anime sets 2, animations 3, effects 4,
// chara effects 3, screen effects 3, pictures 2, sounds 5, music 4, sword types 2).
TEST_F(CommandTest, DatabaseRepairs) {
  struct Case {
    const char* name;
    int set, type;
    std::function<void(cEdCommand&)> stored;
    std::function<void(const cEdCommand&)> check;
  };
  auto p0 = [](std::int32_t v) { return [v](cEdCommand& c) { c.m_Params = {v}; }; };
  auto expectP0 = [](std::int32_t v) { return [v](const cEdCommand& c) { EXPECT_EQ(c.m_Params[0], v); }; };
  const Case cases[] = {
      {"a sound equal to the number of sounds", 0, CMD_WAIT, [](cEdCommand& c) { c.m_nSound = 5; },
       [](const cEdCommand& c) { EXPECT_EQ(c.m_nSound, 0); }},
      {"the last sound is kept", 0, CMD_WAIT, [](cEdCommand& c) { c.m_nSound = 4; },
       [](const cEdCommand& c) { EXPECT_EQ(c.m_nSound, 4); }},
      {"an animation of -1", 0, CMD_WAIT, [](cEdCommand& c) { c.m_nAnime = -1; },
       [](const cEdCommand& c) { EXPECT_EQ(c.m_nAnime, 0); }},
      {"anime set past the list becomes 0", 0, CMD_ANIME_SET, p0(2), expectP0(0)},
      {"animation past the list becomes 1", 0, CMD_ANIME, p0(3), expectP0(1)},
      {"negative effect becomes 1", 0, CMD_EFFECT, p0(-1), expectP0(1)},
      {"valid effect kept", 0, CMD_EFFECT, p0(3), expectP0(3)},
      {"chara effect", 0, CMD_CHARA_EFFECT, p0(3), expectP0(1)},
      {"screen effect", 0, CMD_SCR_EFFECT, p0(7), expectP0(1)},
      {"picture", 0, CMD_PICTURE, p0(2), expectP0(1)},
      {"sound command", 0, CMD_SOUND, p0(5), expectP0(1)},
      {"music command", 0, CMD_BGM, p0(4), expectP0(1)},
      {"item type 20 is the music command", 1, CMD_BGM - ITEM_TYPE_OFFSET, p0(4), expectP0(1)},
      {"item type 12 is the animation command", 1, CMD_ANIME - ITEM_TYPE_OFFSET, p0(9), expectP0(1)},
      {"the sword's time is its entries' sum up to 9999", 0, CMD_SWORD,
       [](cEdCommand& c) {
         c.NewShot();
         c.m_pShot->m_nMotion = 1;
         c.m_nTime = 5;
       },
       [](const cEdCommand& c) {
         EXPECT_EQ(c.m_pShot->m_nMotion, 1);
         EXPECT_EQ(c.m_nTime, 9999);
       }},
      {"a sword type past the list becomes 0", 0, CMD_SWORD,
       [](cEdCommand& c) {
         c.NewShot();
         c.m_pShot->m_nMotion = 2;
       },
       [](const cEdCommand& c) {
         EXPECT_EQ(c.m_pShot->m_nMotion, 0);
         EXPECT_EQ(c.m_nTime, 1);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cEdCommand stored = Make(c.set, c.type);
    c.stored(stored);
    cEdCommand loaded;
    ASSERT_TRUE(rt::LoadBody(loaded, OldCommand(stored, 513, Params(stored.m_Params.begin(), stored.m_Params.end()))));
    c.check(loaded);
  }
}

// A database of one entry (or none) has no entry 1: a bad reference becomes 0 instead
// of pointing past the list; and stored sword entry times as large as an i32 holds add
// up without overflow.
TEST_F(CommandTest, RepairsOfShortDatabases) {
  struct Case {
    int type;
    eDatabase database;
    int size;
    std::int32_t stored, repaired;
  };
  const Case cases[] = {
      {CMD_PICTURE, DB_PICTURE, 1, 5, 0}, {CMD_PICTURE, DB_PICTURE, 0, 5, 0}, {CMD_ANIME, DB_ANIME, 1, -1, 0},
      {CMD_BGM, DB_BGM, 2, 2, 1},         {CMD_EFFECT, DB_EFFECT, 1, 0, 0},
  };
  for (const Case& c : cases) {
    refs_.refs.databases[c.database] = c.size;
    cEdCommand stored = Make(0, c.type);
    stored.m_Params = {c.stored};
    cEdCommand loaded;
    ASSERT_TRUE(rt::LoadBody(loaded, OldCommand(stored, 513, {c.stored})));
    EXPECT_EQ(loaded.m_Params[0], c.repaired) << c.type << " " << c.size;
  }

  refs_.refs.swordTimes = {{0x7fffffff, 0x7fffffff}};
  cEdCommand sword = Make(0, CMD_SWORD);
  sword.NewShot();
  cEdCommand loaded;
  ASSERT_TRUE(rt::LoadBody(loaded, rt::SaveBody(sword)));
  EXPECT_EQ(loaded.m_nTime, 9999);
}

TEST_F(CommandTest, PaletteRepairs) {
  // Fake palettes: common 3 of each kind, stage 2 of each.
  struct Case {
    const char* name;
    int set, type;
    std::function<void(cEdCommand&)> setUp;
    std::function<void(const cEdCommand&)> check;
  };
  auto shot = [](std::uint8_t source, std::int16_t item) {
    return [=](cEdCommand& c) {
      c.NewShot();
      c.m_pShot->m_nItemSource = source;
      c.m_pShot->m_nItem = item;
    };
  };
  auto summon = [](std::uint8_t palette, std::int16_t n) {
    return [=](cEdCommand& c) {
      c.NewShot();
      c.m_pShot->m_nSummonPalette = palette;
      c.m_pShot->m_nSummon = n;
    };
  };
  auto item = [](std::int32_t source, std::int16_t n) {
    return [=](const cEdCommand& c) {
      EXPECT_EQ(c.m_pShot->m_nItemSource, source);
      EXPECT_EQ(c.m_pShot->m_nItem, n);
    };
  };
  auto summoned = [](std::int16_t n) { return [=](const cEdCommand& c) { EXPECT_EQ(c.m_pShot->m_nSummon, n); }; };
  auto params = [](Params p) { return [=](cEdCommand& c) { c.m_Params = cVector<std::int32_t>(p); }; };
  auto p1 = [](std::int32_t v) { return [=](const cEdCommand& c) { EXPECT_EQ(c.m_Params[1], v); }; };
  const Case cases[] = {
      {"shot item of the common palette past its list", 0, CMD_SHOT, shot(1, 3), item(0, 0)},
      {"shot item of the common palette kept", 0, CMD_SHOT, shot(1, 2), item(1, 2)},
      {"sword item of the stage palette past its list", 0, CMD_SWORD, shot(2, 2), item(0, 0)},
      {"another item source is not checked", 0, CMD_SHOT, shot(3, 50), item(3, 50)},
      {"block summon of the stage palette", 0, CMD_SUMMON_BLOCK, summon(1, 2), summoned(1)},
      {"chara summon of the common palette, negative", 0, CMD_SUMMON_CHARA, summon(0, -4), summoned(1)},
      {"item summon kept", 0, CMD_SUMMON_ITEM, summon(0, 2), summoned(2)},
      {"summon of another palette is not checked", 0, CMD_SUMMON_ITEM, summon(2, 90), summoned(90)},
      {"get item of the stage palette", 0, CMD_GET_ITEM, params({1, 2}), p1(1)},
      {"get item kept", 0, CMD_GET_ITEM, params({0, 2}), p1(2)},
      {"item get-item command", 1, CMD_GET_ITEM - ITEM_TYPE_OFFSET, params({0, 3}), p1(1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cEdCommand command = Make(c.set, c.type);
    c.setUp(command);
    command.CheckPaletteRefs();
    c.check(command);
  }
  // Carried flows are checked too.
  cEdCommand outer = Make(1, ITEM_CMD_FLOW_CHANGE);
  cEdCommand inner = Make(0, CMD_GET_ITEM);
  inner.m_Params = {0, 7};
  outer.m_Flows.emplace_back().m_Commands.push_back(inner);
  outer.CheckPaletteRefs();
  EXPECT_EQ(outer.m_Flows[0].m_Commands[0].m_Params[1], 1);
}

TEST_F(CommandTest, CarriedTestOnlyFlows) {
  cEdCommand c = Make(1, ITEM_CMD_FLOW_CHANGE);
  c.m_Flows.resize(3);
  c.m_Flows[0].m_bTestOnly = 1;
  c.m_Flows[2].m_nID = 5;
  const std::string body = rt::SaveBody(c);
  struct Case {
    const char* name;
    int fromEditor;
    bool keep;
    std::size_t flows;
  };
  const Case cases[] = {
      {"dropped", 0, false, 2}, {"kept for the editor", 1, false, 3}, {"kept by the project", 0, true, 3}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    g_bFromEditor = k.fromEditor;
    refs_.refs.keepTestOnly = k.keep;
    cEdCommand back;
    ASSERT_TRUE(rt::LoadBody(back, body));
    EXPECT_EQ(back.m_Flows.size(), k.flows);
    EXPECT_EQ(back.m_Flows.back().m_nID, 5);
  }
  g_bFromEditor = 0;
}

}  // namespace
