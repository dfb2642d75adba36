#include "ui/FileDialog.h"

#include "base/AppGlobals.h"
#include "base/Log.h"
#include "gamedata/Record.h"
#include "gfx/DDInit.h"
#include "gfx/DDPalette.h"
#include "gfx/DDPresent.h"
#include "platform/modal_ui.h"

namespace {

constexpr std::uint32_t kOpenFlags =
    OFN_EXPLORER | OFN_NONETWORKBUTTON | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;  // 0xA100C

template <std::size_t N>
constexpr std::string_view Filter(const char (&text)[N]) {
  return std::string_view(text, N - 1);
}

// The description and the patterns of a filter.
void SplitFilter(std::string_view filter, std::string* desc, std::string* patterns) {
  const std::size_t a = filter.find('\0');
  desc->assign(filter.substr(0, a));
  patterns->clear();
  if (a == std::string_view::npos) return;
  const std::string_view rest = filter.substr(a + 1);
  patterns->assign(rest.substr(0, rest.find('\0')));
}

// In 8-bit DirectDraw the display palette's entry 0 is black while a dialog is up.
bool EightBitDisplay() { return g_lpDDData != nullptr && g_DDState.nBpp == 8; }

std::int32_t RunFileDialog(std::uint32_t flags, bool save, std::string& buffer, std::string_view initialDir,
                           std::string_view title, std::string_view filter, std::string_view defaultExt) {
  plat::ui::FileRequest r;
  r.initialDir.assign(initialDir);
  r.title.assign(title);
  SplitFilter(filter, &r.filterDesc, &r.patterns);
  r.defaultExt.assign(defaultExt);
  r.proposedName = buffer;
  r.save = save;
  r.mustExist = !save && (flags & OFN_FILEMUSTEXIST) != 0;
  r.overwritePrompt = (flags & OFN_OVERWRITEPROMPT) != 0;
  const bool eightBit = EightBitDisplay();
  if (eightBit) {
    const PALETTEENTRY black{};
    DDSetPaletteEntries(0, 1, &black);
  }
  std::optional<std::string> chosen = plat::ui::chooseFile(r);
  if (eightBit) DDSetPaletteEntries(0, 1, &g_WorkPalette[0]);
  if (!chosen) return 0;
  buffer = *chosen;
  return 1;
}

std::string ReplayExtension() {
  std::string ext;
  FormatString(ext, "rpl4_%u", static_cast<unsigned>(CURRENT_DATA_VERSION));
  return ext;
}

}  // namespace

std::int32_t OpenFileDialog(plat::WindowToken, std::string& buffer, std::int32_t, std::string_view initialDir,
                            std::string_view title, std::string_view filter, std::string_view defaultExt,
                            std::int32_t multiSelect, cVector<std::string>* list) {
  buffer.clear();
  const std::uint32_t flags = kOpenFlags | (multiSelect ? OFN_ALLOWMULTISELECT : 0u);
  if (!RunFileDialog(flags, false, buffer, initialDir, title, filter, defaultExt)) return 0;
  if (list) {
    // The chooser gives one file: its full path, as the multi-string result would.
    std::string multi = buffer;
    multi.push_back('\0');
    multi.push_back('\0');
    AppendChosenFiles(multi, multi.size(), list);
  }
  return 1;
}

std::int32_t SaveFileDialog(plat::WindowToken, std::string& buffer, std::string_view initialDir, std::string_view title,
                            std::string_view filter, std::string_view defaultExt, std::int32_t keep) {
  if (!keep) buffer.clear();
  const std::uint32_t flags = kOpenFlags | OFN_ALLOWMULTISELECT | (g_lpD3DData ? 0u : OFN_OVERWRITEPROMPT);
  return RunFileDialog(flags, true, buffer, initialDir, title, filter, defaultExt);
}

void AppendChosenFiles(const std::string& buffer, std::size_t size, cVector<std::string>* list) {
  size = std::min(size, buffer.size());
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i < size) {
    const std::size_t end = std::min(buffer.find('\0', i), size);
    if (end == i) break;
    parts.push_back(buffer.substr(i, end - i));
    i = end + 1;
  }
  if (parts.empty()) return;
  if (parts.size() == 1) {
    list->push_back(parts[0]);
    return;
  }
  for (std::size_t k = 1; k < parts.size(); ++k) {
    std::string path;
    FormatString(path, "%s\\%s", parts[0].c_str(), parts[k].c_str());
    list->push_back(path);
  }
}

std::int32_t ChooseStageFile(std::string& path) {
  DDSetDialogMode(true);
  const std::int32_t r =
      OpenFileDialog(g_hWnd.load(), path, 260, "data\\stg4\\", "ステージファイルの選択",
                     Filter("StageFile ( *.stg4_*;*.rpl4_* )\0*.stg4_*;*.rpl4_*\0"), "stg4_*;rpl4_*", 0, nullptr);
  DDSetDialogMode(false);
  return r;
}

std::int32_t ChooseReplayFile(std::string& path) {
  DDSetDialogMode(true);
  const std::int32_t r = OpenFileDialog(g_hWnd.load(), path, 260, "user_data\\rpl4", "リプレイファイルの選択",
                                        Filter("ReplayFile ( *.rpl4_* )\0*.rpl4_*\0"), "rpl4_*", 0, nullptr);
  DDSetDialogMode(false);
  return r;
}

std::int32_t ChooseReplaySaveFile(std::string& buffer) {
  const std::string ext = ReplayExtension();
  std::string filter;
  FormatString(filter, "ReplayFile ( *.%s )", ext.c_str());
  filter.push_back('\0');
  filter += "*." + ext;
  filter.push_back('\0');
  DDSetDialogMode(true);
  const std::int32_t r =
      SaveFileDialog(plat::ui::activeWindow(), buffer, "user_data\\rpl4\\", "保存先のファイル選択", filter, ext, 1);
  DDSetDialogMode(false);
  return r;
}
