#include "records/SaveNotice.h"

#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "base/Log.h"
#include "platform/cp932.h"
#include "platform/fs.h"
#include "sound/SoundTable.h"

namespace {

constexpr int kRefusedSound = 3;

struct Shown {
  std::mutex mutex;
  std::set<std::pair<int, int>> kinds;  // (kind of save, reason)
};
Shown& shown() {
  static Shown s;
  return s;
}

const char* KindName(AutoSave kind) {
  switch (kind) {
    case AutoSave::StorySlot: return "オートセーブ";
    case AutoSave::Ranking: return "ランキングの保存";
    case AutoSave::Replay: return "リプレイの保存";
  }
  return "";
}

}  // namespace

void TellFailedSave(AutoSave kind, std::string_view path) {
  RequestSystemSound(kRefusedSound);
  const int error = plat::fs::lastWriteError();
  {
    Shown& s = shown();
    std::lock_guard lock(s.mutex);
    if (!s.kinds.insert({static_cast<int>(kind), error}).second) return;
  }
  std::string text = std::string(KindName(kind)) + "に失敗しました！\n" + std::string(path);
  // The system's words for the reason (in the locale's language, converted for the box).
  if (error) text += "\n" + plat::cp932::fromUtf8(std::strerror(error));
  ErrorBox(text);
}

void ResetFailedSaveNotices() {
  Shown& s = shown();
  std::lock_guard lock(s.mutex);
  s.kinds.clear();
}
