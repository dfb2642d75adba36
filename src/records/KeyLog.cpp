#include "records/KeyLog.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "base/AppMessages.h"
#include "base/Log.h"
#include "base/PathUtil.h"
#include "records/FrontendLinks.h"
#include "records/PlayRecord.h"
#include "gamedata/RecordList.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "platform/fs.h"
#include "platform/input.h"
#include "platform/winnum.h"
#include "sound/SoundTable.h"

cKeyLog g_KeyLog;
cKeyLog g_PrevKeyLog;
std::int32_t g_nReplayRefuseWait = 0;

namespace {

constexpr const char* REPLAY_FOLDER = "user_data\\rpl4\\";
constexpr int REFUSE_WAIT_FRAMES = 60;
enum : int { SOUND_CONFIRM = 1, SOUND_REFUSED = 3 };

}  // namespace

cKeyLog& cKeyLog::operator=(const cKeyLog& other) {
  if (&other == this) return *this;
  m_DirValues = other.m_DirValues;
  m_ButtonValues = other.m_ButtonValues;
  m_DirRuns = other.m_DirRuns;
  m_ButtonRuns = other.m_ButtonRuns;
  m_nRandomSeed = other.m_nRandomSeed;
  return *this;
}

void cKeyLog::BindFields(std::uint32_t) { AddField4(&m_nRandomSeed); }

void cKeyLog::Load(cDataReader& in) {
  cRecord::Load(in);
  LoadValueList(in, m_DirValues);
  LoadValueList(in, m_ButtonValues);
  LoadValueList(in, m_DirRuns);
  LoadValueList(in, m_ButtonRuns);
  // Playback reads value i with run i: lists of different lengths are a damaged file.
  if (m_DirRuns.size() != m_DirValues.size() || m_ButtonRuns.size() != m_ButtonValues.size()) in.Fail();
  Rewind();
}

void cKeyLog::Save(cDataWriter& out) {
  cRecord::Save(out);
  SaveValueList(out, m_DirValues);
  SaveValueList(out, m_ButtonValues);
  SaveValueList(out, m_DirRuns);
  SaveValueList(out, m_ButtonRuns);
}

void cKeyLog::Clear() {
  cRecord::Clear();
  m_DirValues.clear();
  m_ButtonValues.clear();
  m_DirRuns.clear();
  m_ButtonRuns.clear();
  Rewind();
}

void cKeyLog::Rewind() {
  m_nDirIndex = m_nButtonIndex = 0;
  m_nDirCount = m_nButtonCount = 0;
}

namespace {

void AppendRun(cVector<std::uint16_t>& values, cVector<std::uint32_t>& runs, std::uint16_t w) {
  if (!values.empty() && values.back() == w && runs.size() == values.size()) {
    ++runs.back();
  } else {
    values.push_back(w);
    runs.push_back(1);
  }
}

// The word of the entry at index, and the index moved on when its run is played out.
// A run of 0 (a damaged file) lasts one frame.
std::uint16_t PlayRun(const cVector<std::uint16_t>& values, const cVector<std::uint32_t>& runs, std::int32_t& index,
                      std::uint32_t& count) {
  const std::uint16_t w = values[index];
  if (++count >= runs[index]) {
    count = 0;
    ++index;
  }
  return w;
}

}  // namespace

void cKeyLog::RecordFrame(std::uint16_t wDirection, std::uint16_t wButtons) {
  AppendRun(m_DirValues, m_DirRuns, wDirection);
  AppendRun(m_ButtonValues, m_ButtonRuns, wButtons);
}

int cKeyLog::PlayFrame(std::uint16_t* pDirection, std::uint16_t* pButtons) {
  const std::int32_t nDir = static_cast<std::int32_t>(std::min(m_DirValues.size(), m_DirRuns.size()));
  const std::int32_t nButton = static_cast<std::int32_t>(std::min(m_ButtonValues.size(), m_ButtonRuns.size()));
  if (m_nDirIndex < 0 || m_nDirIndex >= nDir || m_nButtonIndex < 0 || m_nButtonIndex >= nButton) return 1;
  const std::uint16_t wDirection = PlayRun(m_DirValues, m_DirRuns, m_nDirIndex, m_nDirCount);
  const std::uint16_t wButtons = PlayRun(m_ButtonValues, m_ButtonRuns, m_nButtonIndex, m_nButtonCount);
  if (pDirection) *pDirection = wDirection;
  if (pButtons) *pButtons = wButtons;
  return 0;
}

int cKeyLog::SaveReplay(std::string_view path, cEdStage& stage, cEdStage& startStage, cPlayRecord& playRecord) {
  const std::string name(path);
  std::unique_ptr<cDataWriter> out = OpenSaveFile(path);
  if (out) {
    stage.SaveForReplay(*out, startStage);
    Save(*out);
    playRecord.Save(*out);
    if (CloseDataFile(std::move(out))) return 1;
  }
  ReportPrintfDebug("リプレイファイル %s を保存できません！", name.c_str());
  return 0;
}

int cKeyLog::LoadReplay(std::string_view path, cEdStage& stage, cEdStage& startStage, cPlayRecord& playRecord) {
  std::unique_ptr<cDataReader> in = OpenLoadFile(path);
  const std::string name(path);
  if (in && LoadReplayFrom(*in, stage, startStage, playRecord)) {
    // The stage was read from this file: later stage starts of the playback read it again.
    stage.m_strPath = name;
    return 1;
  }
  ReportError("リプレイファイル %s が読み込めません！", name.c_str());
  return 0;
}

int cKeyLog::LoadReplayFrom(cDataReader& in, cEdStage& stage, cEdStage& startStage, cPlayRecord& playRecord) {
  const std::uint32_t nVersion = g_nLoadVersion;
  // Everything is read into copies first: a damaged file leaves the game as it was.
  cEdStage loadedStage = stage;
  loadedStage.Load(in);
  cKeyLog loadedLog;
  loadedLog.Load(in);
  cPlayRecord loadedRecord = playRecord;
  if (nVersion >= VERSION_REPLAY_PLAY_RECORD) loadedRecord.Load(in);
  if (in.Failed()) return 0;
  stage = std::move(loadedStage);
  startStage.MakeStartSnapshot(stage);
  *this = loadedLog;
  Rewind();
  playRecord = std::move(loadedRecord);
  return 1;
}

std::string ReplayExtension() {
  std::string ext;
  FormatString(ext, "rpl4_%u", static_cast<unsigned>(g_nDataVersion));
  return ext;
}

std::string MakeReplayDefaultName(std::string_view stageKey) {
  if (stageKey.empty()) return std::string();
  const std::string ext = ReplayExtension();
  std::string name;
  ChangeExtension(name, stageKey, ext.c_str());
  StripDirectory(name);
  const std::string base = REPLAY_FOLDER + name;
  std::string chosen = base;
  bool bFree = false;
  for (int i = 0; i <= 8 && !bFree; ++i) {
    for (int j = 0; j <= 8 && !bFree; ++j) {
      std::string candidate;
      if (!AddNumberSuffix(candidate, base, i, j)) break;  // a key without an extension
      chosen = candidate;
      bFree = !plat::fs::exists(candidate);
    }
  }
  StripDirectory(chosen);
  return chosen;
}

bool ChooseReplaySavePath(std::string& path, std::string_view stageKey) {
  path = MakeReplayDefaultName(stageKey);
  return g_FrontendLinks.replaySaveDialog && g_FrontendLinks.replaySaveDialog(path);
}

int CheckReplaySaveKeys() {
  if (CurrentGameMode() == GAME_MODE_REPLAY || !g_System.m_bRecordReplay) return 0;
  if (g_nReplayRefuseWait > 0) --g_nReplayRefuseWait;
  std::uintptr_t nWhich = 0;
  const cKeyLog* log = nullptr;
  if (plat::input::keyDown(plat::vk::F1)) {
    log = &g_KeyLog;
  } else if (plat::input::keyDown(plat::vk::F2)) {
    log = &g_PrevKeyLog;
    nWhich = 1;
  } else {
    return 0;
  }
  if (log->m_DirValues.empty()) {
    // Held keys would repeat the refusal every frame; once a second is enough.
    if (g_nReplayRefuseWait <= 0) {
      RequestSystemSound(SOUND_REFUSED);
      g_nReplayRefuseWait = REFUSE_WAIT_FRAMES;
    }
    return 0;
  }
  RequestSystemSound(SOUND_CONFIRM);
  if (g_FrontendLinks.dialogRequest) g_FrontendLinks.dialogRequest(appmsg::ReplaySaveDialog, nWhich);
  return 1;
}

int OpenReplayDialog() {
  if (!g_FrontendLinks.dialogRequest) return 0;
  return g_FrontendLinks.dialogRequest(appmsg::ReplayFileDialog, 0);
}
