#include "app/SystemIni.h"

#include <limits>
#include <optional>

#include "gamedata/System.h"
#include "platform/fs.h"

SYSTEMINIDATA g_SystemIni;

namespace {

enum : int { SETTING_FREE_STAGE = 5 };
constexpr int MAX_LINES = 10000;
constexpr std::size_t MAX_PART_BYTES = 2047;  // longer keys and values are cut there

// The descriptor of setting k, or null after the bad-index report.
const cEdSetting* SettingAt(const cVector<cEdSetting>& settings, int k) {
  if (k >= settings.Size()) {
    ReportBadVectorIndex("err V[%d] ( %d , %d )", k, settings.Size(), static_cast<int>(sizeof(cEdSetting)));
    return nullptr;
  }
  return &settings[k];
}

std::int32_t* IntSetting(SYSTEMINIDATA& ini, int k) {
  switch (k) {
    case 0: return &ini.m_nDirect3D;
    case 1: return &ini.m_nWindowMode;
    case 2: return &ini.m_nBpp;
    case 3: return &ini.m_nVSync;
    case 4: return &ini.m_nShowFps;
    default: return nullptr;
  }
}

// Leading white space, an optional sign and digits; anything after them is ignored and
// no digits give 0. A value too large for an int gives the nearest one.
std::int32_t ToInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool bNegative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) bNegative = text[i++] == '-';
  std::int64_t n = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    n = n * 10 + (text[i] - '0');
    if (n > std::numeric_limits<std::int32_t>::max()) {
      return bNegative ? std::numeric_limits<std::int32_t>::min() : std::numeric_limits<std::int32_t>::max();
    }
  }
  return static_cast<std::int32_t>(bNegative ? -n : n);
}

class cIniReader {
 public:
  explicit cIniReader(std::string_view bytes) : m_Bytes(bytes) {
    if (m_Bytes.substr(0, 3) == "\xEF\xBB\xBF") m_nPos = 3;  // saved as UTF-8 with a mark
  }
  std::optional<char> Next() {
    if (m_nPos >= m_Bytes.size()) return std::nullopt;
    return m_Bytes[m_nPos++];
  }

 private:
  std::string_view m_Bytes;
  std::size_t m_nPos = 0;
};

void Append(std::string& part, char c) {
  if (part.size() < MAX_PART_BYTES) part += c;
}

}  // namespace

void SetSystemIniDefaults(SYSTEMINIDATA& ini, const cVector<cEdSetting>& settings) {
  for (int k = 0; k < SETTING_FREE_STAGE; ++k) {
    if (const cEdSetting* setting = SettingAt(settings, k)) *IntSetting(ini, k) = setting->m_nDefault;
  }
  if (const cEdSetting* setting = SettingAt(settings, SETTING_FREE_STAGE)) {
    ini.m_szFreeStage = setting->m_strDefault.substr(0, MAX_FREE_STAGE_BYTES);
  }
}

int LoadSystemIni(std::string_view path, SYSTEMINIDATA& ini, const cVector<cEdSetting>& settings) {
  // A settings file is a few lines; a larger one is not read.
  const std::optional<std::string> file = plat::fs::readFile(path, std::size_t{1} << 20);
  return file ? ParseSystemIni(*file, ini, settings) : 0;
}

int ParseSystemIni(std::string_view bytes, SYSTEMINIDATA& ini, const cVector<cEdSetting>& settings) {
  cIniReader in(bytes);
  for (int nLine = 0; nLine < MAX_LINES; ++nLine) {
    // The key part: up to "=" or LF; spaces, tabs and CRs are dropped.
    std::string key;
    char c = 0;
    for (;;) {
      const std::optional<char> next = in.Next();
      if (!next) return 0;
      c = *next;
      if (c == '\0') return 1;
      if (c == '=' || c == '\n') break;
      if (c != ' ' && c != '\t' && c != '\r') Append(key, c);
    }
    if (c == '\n') {
      if (key == "Exit") return 1;
      continue;
    }
    // The value: up to a space, tab, "/", LF, NUL or the end of the file.
    std::string value;
    for (std::optional<char> next = in.Next(); next; next = in.Next()) {
      if (*next == ' ' || *next == '\t' || *next == '/' || *next == '\n' || *next == '\0') break;
      Append(value, *next);
    }
    for (int k = 0; k < settings.Size(); ++k) {
      if (settings[k].m_strName != key) continue;
      if (std::int32_t* pValue = IntSetting(ini, k)) {
        *pValue = ToInt(value);
      } else if (k == SETTING_FREE_STAGE && value.size() >= 2 && value.size() <= MAX_FREE_STAGE_BYTES) {
        ini.m_szFreeStage = value;
      }
      break;
    }
  }
  return 1;
}
