#include "gamedata/StageLoad.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "core/AppGlobals.h"
#include "core/Log.h"
#include "gamedata/DataPaths.h"
#include "gamedata/LoadWorker.h"
#include "gamedata/Stage.h"
#include "platform/cp932.h"
#include "platform/fs.h"

namespace {

// Paths go through 260-byte buffers.
constexpr std::size_t MAX_PATH_BYTES = 259;

// Offsets just past each '\' of a path; a '\' that is the second byte of a double-byte
// character does not separate.
std::vector<std::size_t> SeparatorEnds(std::string_view path) {
  std::vector<std::size_t> ends;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const auto b = static_cast<std::uint8_t>(path[i]);
    if (plat::cp932::isLead(b) && i + 1 < path.size() && plat::cp932::isTrail(static_cast<std::uint8_t>(path[i + 1]))) {
      ++i;
    } else if (b == '\\') {
      ends.push_back(i + 1);
    }
  }
  return ends;
}

std::vector<std::string> Components(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t nStart = 0;
  std::vector<std::size_t> ends = SeparatorEnds(path);
  ends.push_back(path.size() + 1);
  for (std::size_t nEnd : ends) {
    if (nEnd - 1 > nStart) parts.emplace_back(path.substr(nStart, nEnd - 1 - nStart));
    nStart = nEnd;
  }
  return parts;
}

// An absolute path becomes relative to the current directory (".\x" or "..\..\x"); a
// relative one, or one that cannot be made relative, stays as it is.
void MakeRelativeToCurrent(std::string& path) {
  // Absolute paths of this system begin at the root; a drive letter names no folder here.
  if (path.empty() || path[0] != '\\') return;
  std::optional<std::string> cwd = plat::fs::currentDirectory();
  if (!cwd) return;
  const std::vector<std::string> from = Components(*cwd);
  const std::vector<std::string> to = Components(path);
  std::size_t nCommon = 0;
  while (nCommon < from.size() && nCommon + 1 < to.size() && from[nCommon] == to[nCommon]) ++nCommon;
  std::string relative;
  if (nCommon == from.size()) relative = ".\\";
  for (std::size_t i = nCommon; i < from.size(); ++i) relative += "..\\";
  for (std::size_t i = nCommon; i < to.size(); ++i) relative += to[i] + (i + 1 < to.size() ? "\\" : "");
  path = relative;
}

// The read on the loader thread: the file into g_Stage, and the flag that it succeeded.
void LoadStageFile(const std::string& path, const std::atomic<bool>& stop) {
  std::unique_ptr<cDataReader> in = OpenLoadFile(path);
  if (!in) return;
  in->SetStopFlag(&stop);
  g_Stage.Load(*in);
  if (!in->Failed()) g_Stage.m_bLoadSucceeded = 1;
}

}  // namespace

std::optional<std::string> FindNewestNumberedStage(std::string_view strName, std::string_view strExt) {
  std::string base(strName);
  const std::vector<std::size_t> ends = SeparatorEnds(base);
  const std::size_t nNameStart = ends.empty() ? 0 : ends.back();
  if (std::size_t nDot = base.rfind('.'); nDot != std::string::npos && nDot >= nNameStart) {
    base.resize(nDot + 1);
    base += strExt;
  }
  for (int n = 999; n >= 0; --n) {
    std::string candidate;
    FormatString(candidate, "%s_%d%d%d", base.c_str(), n / 100, n / 10 % 10, n % 10);
    if (plat::fs::isFile(candidate)) return candidate;
  }
  return std::nullopt;
}

int CheckStageFile(std::string_view strPath) {
  if (strPath.empty()) strPath = "err";
  if (strPath.size() > MAX_PATH_BYTES) return 1;
  std::FILE* file = plat::fs::open(strPath, "rb");
  if (!file) return 1;
  char head[4] = {};
  std::uint32_t nVersion = 0;
  if (std::fread(head, 1, 4, file) == 4) cDataReader(std::string_view(head, 4)).ReadU32(nVersion);
  g_nLoadVersion = nVersion;
  if (nVersion < 174) {
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
    PostCloseRequest();
    return 0;
  }
  return 1;
}

int LoadStage(std::string_view strName, int bComplete, cEdStage* pStartStage) {
  std::string path;
  if (bComplete) {
    std::optional<std::string> found = FindNewestNumberedStage(strName, g_ExtTable[EXT_STAGE]);
    if (!found) return 0;
    path = std::move(*found);
  } else {
    path = strName;
  }
  MakeRelativeToCurrent(path);
  g_Stage.m_strPath = path;
  if (!CheckStageFile(path)) return 0;

  g_Stage.m_bLoadSucceeded = 0;
  if (RunLoadWorker([&path](const std::atomic<bool>& stop) { LoadStageFile(path, stop); }) == eWorkerEnd::Quit) {
    return 0;
  }
  if (!g_Stage.m_bLoadSucceeded) {
    ErrorBoxPrintf("ステージファイル %s の読み込みに失敗しました！", path.c_str());
    return 0;
  }
  if (!g_Stage.HasHero()) {
    ErrorBox("主人公が配置されていないのでプレイできません！");
    PostCloseRequest();
    return 0;
  }
  if (pStartStage) pStartStage->MakeStartSnapshot(g_Stage);
  return 1;
}
