// The open and save file choosers: one list with the folder's sub-folders and the
// files that match the patterns, a name box, and the usual buttons.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "platform/cp932.h"
#include "platform/fs.h"
#include "platform/modal_ui.h"
#include "platform/msgbox.h"
#include "platform/trace.h"
#include "platform/ui_detail.h"

namespace plat::ui {

namespace detail {
int runModal(const DialogTemplate& t, Dialog::Proc proc, ui_script::Shown::Kind kind,
             std::optional<ui_script::Response> preset);
}

namespace {

enum : int { kList = 1120, kName = 1152, kFolder = 1088, kFilter = 1089 };

struct Entry {
  std::string name;  // CP932, with kept characters for those it lacks
  bool folder = false;
};

// A name as the list and the name box draw it: the dialog font knows only CP932.
std::string shown(const std::string& name) { return cp932::withoutKept(name); }

// '?' and '*' are no part of a file name, and a typed character without a CP932 code
// arrives as '?'.
bool hasUnusableCharacter(std::string_view name) { return name.find_first_of("?*") != std::string_view::npos; }

// Case-insensitive for ASCII letters, byte order otherwise.
bool lessNoCase(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    auto fold = [](char c) {
      return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : static_cast<unsigned char>(c);
    };
    if (fold(a[i]) != fold(b[i])) return fold(a[i]) < fold(b[i]);
  }
  return a.size() < b.size();
}

std::vector<Entry> listFolder(const std::string& folder, std::string_view patterns) {
  std::vector<Entry> folders, files;
  const auto native = fs::resolve(folder);
  if (!native) return {};
  if (DIR* d = ::opendir(native->c_str())) {
    while (dirent* e = ::readdir(d)) {
      const std::string n = e->d_name;
      if (n.empty() || n[0] == '.') continue;  // ".", ".." and hidden files
      struct stat st;
      if (::stat((*native + "/" + n).c_str(), &st) != 0) continue;
      Entry entry{fs::fromNative(n), S_ISDIR(st.st_mode)};
      if (entry.folder) folders.push_back(std::move(entry));
      else if (S_ISREG(st.st_mode) && matchAnyPattern(entry.name, patterns)) files.push_back(std::move(entry));
    }
    ::closedir(d);
  }
  auto byName = [](const Entry& a, const Entry& b) { return lessNoCase(a.name, b.name); };
  std::sort(folders.begin(), folders.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  folders.insert(folders.end(), files.begin(), files.end());
  return folders;
}

// The folder part of a program-form path (without the last separator).
std::string parentOf(const std::string& path) {
  int last = -1;
  for (std::size_t i = 0; i < path.size();) {
    const int n = detail::charLen(path, i);
    if (n == 1 && path[i] == '\\') last = static_cast<int>(i);
    i += static_cast<std::size_t>(n);
  }
  if (last <= 0) return last == 0 ? "\\" : std::string();
  return path.substr(0, static_cast<std::size_t>(last));
}

std::string fileNameOf(const std::string& path) {
  const std::string parent = parentOf(path);
  if (parent.empty()) return path;
  return path.substr(parent == "\\" ? 1 : parent.size() + 1);
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '\\' &&
      detail::charStart(folder, static_cast<int>(folder.size()) - 1) == static_cast<int>(folder.size()) - 1)
    return folder + name;
  return folder + "\\" + name;
}

bool hasWildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

DialogTemplate chooserTemplate(const FileRequest& r) {
  DialogTemplate t;
  t.width = 300;
  t.height = 184;
  t.caption = true;
  t.closeBox = true;
  t.title = r.title;
  t.controls = {
      ControlSpec{-1, ControlKind::Static, "場所:", 7, 8, 32, 10, true},
      ControlSpec{kFolder, ControlKind::Static, "", 40, 8, 253, 10, true},
      ControlSpec{kList, ControlKind::List, "", 7, 21, 286, 118, true},
      ControlSpec{-1, ControlKind::Static, "ファイル名:", 7, 148, 64, 10, true},
      ControlSpec{kName, ControlKind::Edit, "", 72, 146, 158, 13, true},
      ControlSpec{cmd::Ok, ControlKind::DefPushButton, r.save ? "保存" : "開く", 238, 145, 55, 15, true},
      ControlSpec{-1, ControlKind::Static, "ファイルの種類:", 7, 167, 64, 10, true},
      ControlSpec{kFilter, ControlKind::Static, r.filterDesc, 72, 167, 158, 10, true},
      ControlSpec{cmd::Cancel, ControlKind::PushButton, "キャンセル", 238, 164, 55, 15, true},
  };
  return t;
}

class Chooser {
 public:
  explicit Chooser(const FileRequest& r) : req_(r) {}

  std::intptr_t proc(Dialog& d, const Msg& m) {
    switch (m.id) {
      case wm::InitDialog: {
        std::string start = req_.initialDir.empty() ? std::string(".") : req_.initialDir;
        auto abs = fs::absolute(start);
        if (!abs || !fs::isDirectory(*abs)) abs = fs::absolute(".");
        enter(d, abs ? *abs : std::string("\\"));
        d.setItemText(kName, req_.proposedName);
        const PixelRect area = workArea();
        d.moveTo(area.x + (area.w - d.outerWidth()) / 2, area.y + (area.h - d.outerHeight()) / 2);
        d.setFocus(kName);
        d.setSel(kName, 0, -1);
        return 0;
      }
      case wm::Command: {
        const int id = static_cast<int>(m.w & 0xFFFF), code = static_cast<int>(m.w >> 16);
        if (id == kList && code == notify::SelChange) {
          const int sel = d.listSelection(kList);
          if (sel >= 0 && !entries_[static_cast<std::size_t>(sel)].folder)
            d.setItemText(kName, shown(entries_[static_cast<std::size_t>(sel)].name));
        } else if (id == kList && code == notify::DblClk) {
          activateSelection(d);
        } else if (id == cmd::Ok && code == notify::Clicked) {
          if (d.focusId() == kList) activateSelection(d);
          else accept(d, d.itemText(kName));
        } else if (id == cmd::Cancel && code == notify::Clicked) {
          d.end(0);
        }
        return 1;
      }
      case wm::Close: d.end(0); return 1;
      default: return 0;
    }
  }

  const std::string& chosen() const { return chosen_; }

 private:
  void enter(Dialog& d, const std::string& folder) {
    folder_ = folder;
    entries_.clear();
    if (!parentOf(folder_).empty() || folder_.size() > 1) entries_.push_back(Entry{"..", true});
    for (Entry& e : listFolder(folder_, req_.patterns)) entries_.push_back(std::move(e));
    std::vector<std::string> lines;
    for (const Entry& e : entries_) lines.push_back(e.folder ? "[" + shown(e.name) + "]" : shown(e.name));
    d.setListItems(kList, std::move(lines));
    d.setItemText(kFolder, shown(fs::withSlashes(folder_)));
  }

  void activateSelection(Dialog& d) {
    const int sel = d.listSelection(kList);
    if (sel < 0) return;
    const Entry& e = entries_[static_cast<std::size_t>(sel)];
    if (e.folder) navigate(d, e.name);
    else accept(d, e.name);
  }

  void navigate(Dialog& d, const std::string& name) {
    const std::string target =
        name == ".." ? parentOf(folder_) : (fs::isRelative(name) ? joinPath(folder_, name) : name);
    auto abs = fs::absolute(target.empty() ? std::string(1, '\\') : target);
    if (abs && fs::isDirectory(*abs)) enter(d, *abs);
  }

  void accept(Dialog& d, std::string name) {
    while (!name.empty() && name.front() == ' ') name.erase(0, 1);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (name.empty()) return;
    // A listed name whose drawn form stands in the name box means that file.
    for (const Entry& e : entries_) {
      if (e.name != name && shown(e.name) == name) {
        name = e.name;
        break;
      }
    }
    if (hasUnusableCharacter(name)) {
      messageBox(name +
                     "\nこのファイル名には使えない文字が含まれています。\n"
                     "? * と、Shift-JIS にない文字は使えません。",
                 req_.title, mb::Ok);
      return;
    }
    if (name == ".." || fs::isDirectory(fs::isRelative(name) ? joinPath(folder_, name) : name)) {
      navigate(d, name);
      d.setItemText(kName, "");
      return;
    }
    std::string path = fs::isRelative(name) ? joinPath(folder_, name) : name;
    const bool ext = fileNameOf(path).find('.') != std::string::npos;
    const bool plainExt = !req_.defaultExt.empty() && !hasWildcard(req_.defaultExt);
    if (req_.save) {
      if (!ext && plainExt) path += "." + req_.defaultExt;
      const std::string parent = parentOf(path);
      if (!parent.empty() && !fs::isDirectory(parent)) {
        messageBox(fileNameOf(path) + "\nパスが見つかりません。\nパスを確認してください。", req_.title, mb::Ok);
        return;
      }
      if (req_.overwritePrompt && fs::exists(path) &&
          messageBox(fileNameOf(path) + " は既に存在します。\n上書きしますか?", req_.title, mb::YesNo) != answer::Yes)
        return;
    } else if (req_.mustExist && !fs::isFile(path)) {
      if (!ext && plainExt && fs::isFile(path + "." + req_.defaultExt)) {
        path += "." + req_.defaultExt;
      } else {
        messageBox(fileNameOf(path) + "\nファイルが見つかりません。\nファイル名を確認してください。", req_.title,
                   mb::Ok);
        return;
      }
    }
    auto abs = fs::absolute(path);
    if (!abs) return;
    chosen_ = *abs;
    d.end(1);
  }

  FileRequest req_;
  std::string folder_;
  std::vector<Entry> entries_;
  std::string chosen_;
};

}  // namespace

std::optional<std::string> chooseFile(const FileRequest& r) {
  Chooser chooser(r);
  const DialogTemplate t = chooserTemplate(r);
  const int result = detail::runModal(
      t, [&chooser](Dialog& d, const Msg& m) { return chooser.proc(d, m); }, ui_script::Shown::Kind::File,
      std::nullopt);
  if (trace::Enabled())
    trace::Line("file %s -> %s", trace::Text(r.title).c_str(),
                result == 1 ? trace::Path(chooser.chosen()).c_str() : "cancel");
  if (result != 1) return std::nullopt;
  return chooser.chosen();
}

}  // namespace plat::ui
