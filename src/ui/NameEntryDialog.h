// The name-entry dialog (template 102): a name of up to three characters, single- or
// double-byte, for a ranking entry in stage play or the player name in the options.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/Dialog.h"

class cNameEntryDialog : public cDialog {
 public:
  // Template 102 over the main window; places itself, moves the cursor onto itself and
  // chooses the text it edits.
  cNameEntryDialog();
  ~cNameEntryDialog() override;

  std::intptr_t OnCommand(std::uintptr_t wParam, std::intptr_t lParam) override;
  std::intptr_t WindowProc(plat::WindowToken hWnd, const plat::Msg& msg) override { return DialogProc(hWnd, msg); }
  std::intptr_t OnInitDialog(std::uintptr_t wParam, std::intptr_t lParam) override;

  std::vector<EDITBIND> m_EditBinds;
  std::vector<std::unique_ptr<cEditBox>> m_EditBoxes;
};

extern cNameEntryDialog* g_pNameEntryDialog;
std::intptr_t NameDialogProc(plat::WindowToken hWnd, const plat::Msg& msg);

// Stage play's ranking name (cStageScene::m_strPlayerName of g_StageScene) while a stage
// scene exists: start-up installs a function that gives it, or nullptr without a scene.
using StageRankNameSource = std::string* (*)();
void SetStageRankNameSource(StageRankNameSource source);
