// The message command without holding the game: the popup it leaves, whom it follows,
// and how messages of one item list or one flow continue a window.
#include "flow/CommandTables.h"
#include "flow/FlowFixture.h"
#include "stage/MessagePopup.h"
#include "test_support/Graphics.h"

namespace {

using namespace flowtest;

constexpr int kItemMessage = CMD_MESSAGE - ITEM_TYPE_OFFSET;

// Parameters: placement, block x, y, pixel x, y, keep inside, mode, tenths, halting, escapes.
cEdCommand Message(std::vector<std::int32_t> params, const char* text, int type = CMD_MESSAGE) {
  cEdCommand c;
  c.m_nType = static_cast<std::int8_t>(type);
  for (std::int32_t p : params) c.m_Params.push_back(p);
  c.m_strText = text;
  return c;
}

class MessageCommandsTest : public FlowFixture {
 protected:
  void SetUp() override {
    FlowFixture::SetUp();
    ASSERT_TRUE(graphics_.Open(false, false));
    Player().m_nSerial = 1;
    chara_.m_nSerial = 7;
  }
  void TearDown() override {
    scene_->m_Popups.clear();
    scene_->ReleaseMessageSurfaces();
    graphics_.Close();
    FlowFixture::TearDown();
  }
  const cMessagePopup& Last() { return scene_->m_Popups.back(); }

  test_support::Graphics graphics_;
};

TEST_F(MessageCommandsTest, AMessageThatDoesNotHoldStaysWithItsValuesAndFollowsItsActor) {
  const struct {
    int placement, anchor;
  } cases[] = {{0, 0}, {1, 7}, {2, 7}, {3, 7}, {4, 1}, {5, 1}, {6, 1}, {7, 0}, {8, 0}};
  for (const auto& c : cases) {
    CmdMessage(chara_, Message({c.placement, 2, 3, 4, 5, 1, SHOW_FOR_TIME, 15, 0, 0}, "Hi"), 0);
    ASSERT_FALSE(scene_->m_Popups.empty());
    EXPECT_EQ(Last().m_nAnchor, c.anchor) << c.placement;
  }
  const cMessagePopup& p = Last();
  EXPECT_EQ(p.m_nKind, POPUP_TEXT);
  EXPECT_EQ(p.m_strText, "Hi");
  EXPECT_EQ(p.m_nBlockX, 2);
  EXPECT_EQ(p.m_nBlockY, 3);
  EXPECT_EQ(p.m_nPixelX, 4);
  EXPECT_EQ(p.m_nPixelY, 5);
  EXPECT_EQ(p.m_bKeepInside, 1);
  EXPECT_EQ(p.m_nFrames, 90);  // 15 tenths
  EXPECT_EQ(p.m_bHalting, 0);
  EXPECT_EQ(g_MessageSurfaces.size(), scene_->m_Popups.size());

  // Escapes only on request.
  C(3) = 42;
  CmdMessage(chara_, Message({0, 0, 0, 0, 0, 0, SHOW_UNTIL_STAGE_END, 0, 0, 0}, "#C3"), 0);
  EXPECT_EQ(Last().m_strText, "#C3");
  CmdMessage(chara_, Message({0, 0, 0, 0, 0, 0, SHOW_UNTIL_STAGE_END, 0, 0, 1}, "#C3"), 0);
  EXPECT_EQ(Last().m_strText, "42");

  // A stage that is closing shows nothing more.
  const std::size_t n = scene_->m_Popups.size();
  scene_->m_bQuit = 1;
  CmdMessage(chara_, Message({0, 0, 0, 0, 0, 0, SHOW_UNTIL_KEY, 0, 1, 0}, "Bye"), 0);
  EXPECT_EQ(scene_->m_Popups.size(), n);
}

TEST_F(MessageCommandsTest, TheMessagesOfOneItemListOrFlowContinueOneWindow) {
  // An item list: the first message opens the window, the next ones go on in it.
  g_Stage.m_Palette.m_Items.assign(2, cEdItem{});
  cEdItem& item = g_Stage.m_Palette.m_Items[1];
  for (const char* text : {"One", "Two", "Three"})
    item.m_Commands.push_back(Message({0, 0, 0, 0, 0, 0, SHOW_UNTIL_KEY, 0, 0, 0}, text, kItemMessage));
  EXPECT_EQ(Player().RunItemCommands(item.m_Commands), 0);
  ASSERT_EQ(scene_->m_Popups.size(), 3u);
  EXPECT_EQ(scene_->m_Popups.front().m_bZoom, 1);
  EXPECT_EQ(scene_->m_Popups.back().m_bZoom, 0);
  EXPECT_EQ(scene_->m_bItemMessageOpen, 1);

  // A flow passes its own continuation; a message that does not wait for the key never
  // opens with the growing frame.
  cFlowRuntime flow;
  cCommandRuntime runtime;
  cEdCommand key = Message({0, 0, 0, 0, 0, 0, SHOW_UNTIL_KEY, 0, 0, 0}, "A");
  runtime.m_pCommand = &key;
  scene_->m_pCurFlow = &flow;
  for (int bContinue : {0, 1}) {
    flow.m_bMessageContinue = bContinue;
    g_CommandExecutors[CMD_MESSAGE](chara_, runtime);
    EXPECT_EQ(Last().m_bZoom, bContinue ? 0 : 1);
  }
  cEdCommand timed = Message({0, 0, 0, 0, 0, 0, SHOW_FOR_TIME, 5, 0, 0}, "B");
  runtime.m_pCommand = &timed;
  flow.m_bMessageContinue = 0;
  g_CommandExecutors[CMD_MESSAGE](chara_, runtime);
  EXPECT_EQ(Last().m_bZoom, 0);
  scene_->m_pCurFlow = nullptr;
}

}  // namespace
