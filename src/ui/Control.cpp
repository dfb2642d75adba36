#include "ui/Control.h"

#include <algorithm>

#include "base/SjisText.h"
#include "platform/input.h"
#include "platform/modal_ui.h"
#include "ui/Dialog.h"

namespace {

plat::ui::Dialog* PlatformOf(plat::WindowToken hDlg) { return plat::ui::findDialog(hDlg); }

// Lines of a text: one more than its line feeds, none for an empty text.
int LineCount(std::string_view text) {
  if (text.empty()) return 0;
  return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

// ---------------------------------------------------------------------------------------
// cControl

void cControl::Enable(std::int32_t flag) {
  if (plat::ui::Dialog* d = PlatformOf(m_hDialog)) d->enable(m_nId, flag != 0);
}

void cControl::Attach(cDialog* dialog, std::int32_t id) {
  m_pDialog = dialog;
  m_hDialog = dialog ? dialog->m_hWnd : 0;
  m_nId = id;
  m_strTooltip.clear();
  plat::ui::Dialog* d = PlatformOf(m_hDialog);
  m_hCtrl = d && d->hasItem(id) ? id : 0;
  SavePos();
}

void cControl::SavePos() {
  plat::ui::Dialog* d = PlatformOf(m_hDialog);
  plat::ui::WindowGeometry g;
  if (!d || !m_hCtrl || !plat::ui::windowGeometry(m_hDialog, &g)) return;
  const plat::ui::PixelRect r = d->itemRect(m_nId);
  m_nScreenX = g.client.x + r.x;
  m_nScreenY = g.client.y + r.y;
  // Relative to the client area: the screen position less the window's corner and frame.
  m_nDialogX = m_nScreenX - g.outer.x - (g.client.x - g.outer.x);
  m_nDialogY = m_nScreenY - g.outer.y - (g.client.y - g.outer.y);
}

// ---------------------------------------------------------------------------------------
// Edit box

void SetEditBind(EDITBIND* bind, std::uint16_t id, std::string* text, std::int32_t n, std::int32_t dbcs) {
  *bind = EDITBIND{};
  bind->nId = id;
  bind->pText = text;
  bind->nTotal = n + 1;
  bind->nPerLine = dbcs ? n : 0;
  bind->nLines = 1;
  bind->bDbcs = dbcs;
}

void cEditBox::Create(cDialog* dialog, const EDITBIND& bind) {
  Attach(dialog, bind.nId);
  m_pText = bind.pText;
  m_nTotal = bind.nTotal ? bind.nTotal : 4096;
  m_nPerLine = bind.nPerLine ? bind.nPerLine : 1024;
  m_nLines = bind.nLines ? bind.nLines : 32;
  m_bDbcs = bind.bDbcs;
  std::copy(std::begin(bind.nExtra), std::end(bind.nExtra), m_nExtra);
  const std::string text = m_pText ? *m_pText : std::string();
  SetDlgItemString(m_hDialog, m_nId, text);
  m_strAccepted = text;
  m_bInitial = 1;
  OnChange();
  m_bInitial = 0;
}

void cEditBox::LoadValue() { SetDlgItemString(m_hDialog, m_nId, m_pText ? *m_pText : std::string()); }

void cEditBox::StoreValue() {
  if (m_pText) GetDlgItemString(m_hDialog, m_nId, *m_pText, MaxCount());
}

std::int32_t cEditBox::Length(std::string_view text) const {
  return m_bDbcs ? CountChars(text) : static_cast<std::int32_t>(text.size());
}

// Keeps the text within the limits after every change: a line longer than the per-line
// limit wraps, and a text that then has more lines than allowed goes back to the last
// text let through (on the first pass, that text is cut to fit instead).
void cEditBox::OnChange() {
  if (m_bBusy) return;  // the notices of our own SetDlgItemString
  m_bBusy = 1;
  plat::ui::Dialog* d = PlatformOf(m_hDialog);
  std::string text;
  GetDlgItemString(m_hDialog, m_nId, text, MaxCount());
  int s = 0, e = 0;
  if (d) d->getSel(m_nId, &s, &e);
  m_nSelStart = s;
  m_nSelEnd = e;
  const std::int32_t maxCut = m_bDbcs ? 2 * m_nPerLine : m_nPerLine;

  if (m_nLines > 0 || m_nPerLine > 0) {
    bool reverted = false;
    // A deleted line break may not join two lines into one that is too long.
    if (plat::input::keyDown(plat::vk::Back) && s == e && m_strAccepted.size() == text.size() + 2 &&
        LineCount(m_strAccepted) > LineCount(text)) {
      const std::string before =
          m_strAccepted.substr(0, static_cast<std::size_t>(std::min<int>(s, static_cast<int>(m_strAccepted.size()))));
      const std::size_t cr = before.rfind('\r');
      const std::string part = cr == std::string::npos ? before : before.substr(cr);
      if (Length(part) >= m_nPerLine) {
        text = m_strAccepted;
        reverted = true;
      }
    }
    if (!reverted) {
      // Wrap the lines within the limit, one after the other.
      std::size_t pos = 0;
      for (int line = 0; line < m_nLines && pos <= text.size(); ++line) {
        std::size_t end = text.find('\r', pos);
        if (end == std::string::npos) end = text.size();
        const std::string lineText = text.substr(pos, end - pos);
        if (Length(lineText) <= m_nPerLine) {
          if (end >= text.size()) break;
          pos = end + 2;
          continue;
        }
        std::string fit = lineText;
        std::int32_t removed = 0;
        while (Length(fit) > m_nPerLine && removed < maxCut && !fit.empty()) {
          fit.pop_back();
          ++removed;
        }
        const std::size_t at = pos + fit.size();
        text.insert(at, "\r\n");
        if (s >= static_cast<int>(at)) s += 2;
        if (e >= static_cast<int>(at)) e += 2;
        // The moved tail joins the next line.
        const std::size_t tailEnd = end + 2;
        const std::size_t join = text.find("\r\n", tailEnd);
        if (join != std::string::npos) text.erase(join, 2);
        pos = at + 2;
      }
      if (LineCount(text) > m_nLines) {
        if (m_bInitial) {
          std::string cut = m_strAccepted;
          std::int32_t removed = 0;
          while (Length(cut) > m_nPerLine && removed < maxCut && !cut.empty()) {
            cut.pop_back();
            ++removed;
          }
          text = cut;
        } else {
          text = m_strAccepted;
        }
      }
    }
    const int len = static_cast<int>(text.size());
    for (int* p : {&s, &e}) {
      if (*p < len && text[static_cast<std::size_t>(*p)] == '\n') ++*p;
      if (*p > len) *p = len;
    }
  }
  SetDlgItemString(m_hDialog, m_nId, text);
  if (!m_bInitial && d) d->setSel(m_nId, s, e);
  m_strAccepted = text;
  m_bBusy = 0;
}

// ---------------------------------------------------------------------------------------
// Buttons

void cCheckBox::LoadValue() {
  if (plat::ui::Dialog* d = PlatformOf(m_hDialog); d && m_pValue) d->setCheck(m_nId, *m_pValue);
}

void cCheckBox::StoreValue() {
  if (plat::ui::Dialog* d = PlatformOf(m_hDialog); d && m_pValue) *m_pValue = d->check(m_nId);
}

void cRadioButton::LoadValue() {
  if (plat::ui::Dialog* d = PlatformOf(m_hDialog); d && m_pValue) d->setCheck(m_nId, *m_pValue == m_nOwnValue ? 1 : 0);
}

void cRadioButton::StoreValue() {
  if (plat::ui::Dialog* d = PlatformOf(m_hDialog); d && m_pValue && d->check(m_nId)) *m_pValue = m_nOwnValue;
}

// ---------------------------------------------------------------------------------------
// Scroll bar

void cScrollBar::Attach(cDialog* dialog, const SCROLLBIND& bind) {
  cControl::Attach(dialog, bind.nId);
  m_nMin = bind.nMin;
  m_nMax = bind.nMax;
  m_nPage = bind.nPage;
  m_nPos = std::clamp(m_nPos, m_nMin, std::max(m_nMin, m_nMax));
}

std::int32_t cScrollBar::Scroll(std::int32_t code) {
  std::int32_t pos = m_nPos;
  switch (code) {
    case SB_LINEUP: pos -= 1; break;
    case SB_LINEDOWN: pos += 1; break;
    case SB_PAGEUP: pos -= m_nPage; break;
    case SB_PAGEDOWN: pos += m_nPage; break;
    case SB_THUMBTRACK: pos = m_nTrackPos; break;
    case SB_TOP: pos = m_nMin; break;
    case SB_BOTTOM: pos = m_nMax; break;
    default: break;  // SB_THUMBPOSITION and the rest keep the position
  }
  // As the platform clamps a position: the last one shows a whole page.
  const std::int32_t last = std::max(m_nMin, m_nMax - std::max(0, m_nPage - 1));
  m_nPos = std::clamp(pos, m_nMin, last);
  return m_nPos;
}

std::int32_t ScrollSubclassProc(std::uint32_t msg) { return msg == plat::wm::RButtonUp ? 0 : 1; }
