#include "gamedata/StageLoad.h"

#include <cstdio>
#include <exception>
#include <memory>

#include "base/AppGlobals.h"
#include "base/Failure.h"
#include "base/Log.h"
#include "base/PathUtil.h"
#include "base/Thread.h"
#include "gamedata/DataPaths.h"
#include "gamedata/Stage.h"
#include "platform/fs.h"
#include "platform/messaging.h"
#include "platform/thread.h"

namespace {

// thLoad's procedure: the file that g_Stage names into g_Stage, and the flag that it
// succeeded. A close request makes its reads fail; a cancellation unwinds it.
unsigned LoadStageProc(void*) {
  const std::string path = g_Stage.m_strPath;
  std::unique_ptr<cDataReader> in = OpenLoadFile(path);
  if (!in) return 0;
  in->EnableCheckpoints();
  g_Stage.Load(*in);
  if (in->Failed()) return 0;
  g_Stage.m_bLoadSucceeded = 1;
  return 1;
}

// A wait that is left by an unwinding (the calling thread cancelled, or a fault thrown
// by a message it served) still stops the loader: nothing may read into g_Stage once
// LoadStage has gone. Checkpoints do not throw while this runs.
class cStopLoaderOnUnwind {
 public:
  cStopLoaderOnUnwind() = default;
  cStopLoaderOnUnwind(const cStopLoaderOnUnwind&) = delete;
  cStopLoaderOnUnwind& operator=(const cStopLoaderOnUnwind&) = delete;
  ~cStopLoaderOnUnwind() {
    if (std::uncaught_exceptions() > m_nUnwinding) thLoad.Exit();
  }

 private:
  int m_nUnwinding = std::uncaught_exceptions();
};

// Serves the calling thread's messages until the loader has ended. False when the
// thread's quit came first (the loader is then stopped).
bool WaitForLoader() {
  cStopLoaderOnUnwind stopOnUnwind;
  for (;;) {
    // What is pending is served before the loader is looked at, so a message that came
    // before the load is never left waiting behind it.
    const plat::Pump pumped = plat::pumpOne(false);
    if (pumped == plat::Pump::Quit) {
      DebugPrintf("msg.message == WM_QUIT");
      thLoad.Exit();
      return false;
    }
    if (pumped == plat::Pump::Handled) continue;
    if (thLoad.m_hThread.hasEnded()) break;
    plat::this_thread::relax();
  }
  thLoad.Exit();
  return true;
}

}  // namespace

int CheckStageFile(std::string_view strPath) {
  if (strPath.empty()) strPath = "err";
  if (ProjectPathTooLong(strPath)) return 1;
  std::FILE* file = plat::fs::open(strPath, "rb");
  if (!file) return 1;
  char head[4] = {};
  std::uint32_t nVersion = 0;
  if (std::fread(head, 1, 4, file) == 4) cDataReader(std::string_view(head, 4)).ReadU32(nVersion);
  g_nLoadVersion = nVersion;
  if (nVersion < VERSION_STAGE_END_CODE_CHECKED) {
    std::fclose(file);
    return 1;
  }
  char tail[4] = {};
  std::uint32_t nEndCode = 0;
  if (std::fseek(file, -4, SEEK_END) == 0 && std::fread(tail, 1, 4, file) == 4) {
    cDataReader(std::string_view(tail, 4)).ReadU32(nEndCode);
  }
  std::fclose(file);
  if (nEndCode != STAGE_END_CODE) {
    const std::string path(strPath);
    ErrorBoxPrintf("ステージファイル %s が破損しています！", path.c_str());
    PostFailureClose();
    return 0;
  }
  return 1;
}

int LoadStage(std::string_view strName, int bComplete, cEdStage* pStartStage) {
  std::string path;
  if (bComplete) {
    if (!FindNewestNumberedFile(path, strName, g_ExtTable[EXT_STAGE])) return 0;
  } else {
    path = strName;
  }
  // A path that cannot be made relative is loaded as it stands.
  MakeRelativePath(path);
  g_Stage.m_strPath = path;
  if (!CheckStageFile(path)) return 0;

  // A loader that cannot be started leaves the flag 0: the load failed.
  g_Stage.m_bLoadSucceeded = 0;
  const std::uint32_t nBadIndices = BadVectorIndexCount();
  if (thLoad.Start(&LoadStageProc, nullptr) && !WaitForLoader()) {
    // A damaged record ends the game through the checked subscript's close: the user is
    // told which file. A close of the user's own is no failure and gets no box.
    if (BadVectorIndexCount() != nBadIndices)
      ErrorBoxPrintf("ステージファイル %s の読み込みに失敗しました！", path.c_str());
    return 0;
  }
  if (!g_Stage.m_bLoadSucceeded) {
    ErrorBoxPrintf("ステージファイル %s の読み込みに失敗しました！", path.c_str());
    return 0;
  }
  if (!g_Stage.HasHero()) {
    ErrorBox("主人公が配置されていないのでプレイできません！");
    PostFailureClose();
    return 0;
  }
  if (pStartStage) pStartStage->MakeStartSnapshot(g_Stage);
  return 1;
}
