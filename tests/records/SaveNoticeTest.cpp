#include "records/SaveNotice.h"

#include <cerrno>
#include <cstring>

#include "FrontendTestUtil.h"
#include "platform/cp932.h"
#include "platform/msgbox.h"
#include "test_support/SoundRequests.h"

namespace {

class SaveNoticeTest : public fe::FrontendFixture {
 protected:
  void SetUp() override {
    fe::FrontendFixture::SetUp();
    plat::box_script::reset();
    ResetFailedSaveNotices();
  }
  void TearDown() override {
    plat::box_script::reset();
    ResetFailedSaveNotices();
    fe::FrontendFixture::TearDown();
  }
};

// A save that fails for a reason of the system (the slot's name taken by a folder): every
// failure has the refusal sound; the box, with the file and the reason, comes once for
// each kind of save.
TEST_F(SaveNoticeTest, EveryFailedSaveIsHeardAndEachKindIsShownOnce) {
  test_support::SoundRequests sounds;
  ASSERT_TRUE(plat::fs::makeDirectory("user_data\\story\\Story01.dat"));
  cPlayRecord record;
  for (AutoSave kind : {AutoSave::StorySlot, AutoSave::StorySlot, AutoSave::Ranking}) {
    ASSERT_EQ(0, record.SaveToFile("user_data\\story\\Story01.dat"));
    TellFailedSave(kind, "user_data\\story\\Story01.dat");
  }
  EXPECT_EQ((std::vector<int>{3, 3, 3}), sounds.All());
  const auto boxes = plat::box_script::shown();
  ASSERT_EQ(2u, boxes.size());
  for (const auto& box : boxes) {
    EXPECT_EQ("エラー", box.captionCp932);
    EXPECT_NE(std::string::npos, box.textCp932.find("user_data/story/Story01.dat")) << box.textCp932;
    EXPECT_NE(std::string::npos, box.textCp932.find(plat::cp932::fromUtf8(std::strerror(EISDIR)))) << box.textCp932;
  }
  EXPECT_NE(boxes[0].textCp932, boxes[1].textCp932) << "each names its kind of save";
}

}  // namespace
