#include "editing/entry_editor_win.h"

#include <exception>
#include <string>

#include "editing/ansi_text_win.h"
#include "editing/entry_names.h"
#include "launcher/launcher_list.h"
#include "platform/error.h"
#include "platform/unicode_win.h"
#include "shell/gui_benri_win.h"

namespace lumora {

namespace {

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The name ends with ".lnk", in any letter case.
bool IsShortcutFile(const std::wstring& path) {
  constexpr wchar_t kExtension[] = L".lnk";
  if (path.size() < 4) return false;
  for (std::size_t i = 0; i < 4; ++i) {
    wchar_t c = path[path.size() - 4 + i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c != kExtension[i]) return false;
  }
  return true;
}

bool ExistsAnsi(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

EntryEditor::EntryEditor(HWND launcher, HWND listBox, LauncherList& list)
    : frmProp(list), list_(list), launcher_(launcher) {
  fileDrop.SetControl(listBox);
}

TfrmProp& EntryEditor::Prop() {
  if (!frmProp.Handle()) frmProp.CreateForm(launcher_);
  return frmProp;
}

void EntryEditor::AddDroppedFiles(const std::vector<std::wstring>& files) {
  try {
    list_.CheckSavable();
  } catch (const AppError& error) {
    throw AppError(std::string(error.what()) + "\r\nドロップされたファイルは追加していません。");
  }
  std::vector<LauncherList::DroppedEntry> entries;
  // The files left out, each with the reason, the first kMaxNamed of them
  // by name: a message box of more lines would run off the screen.
  constexpr int kMaxNamed = 20;
  std::string notAdded;
  int leftOut = 0;
  auto leaveOut = [&](const std::wstring& path, const char* reason) {
    if (++leftOut > kMaxNamed) return;
    notAdded += "\r\n" + (path.empty() ? std::string("（空のパス）") : platform::WideToUtf8(path)) + "\r\n    " + reason;
  };
  for (const std::wstring& dropped : files) {
    if (dropped.empty()) {
      leaveOut(dropped, "パスが空です。");
      continue;
    }
    std::wstring path = dropped;
    if (IsShortcutFile(path)) {
      path = GetShortcutTarget(dropped);
      if (path.empty()) {
        leaveOut(dropped, "ショートカットのリンク先を読み取れません。");
        continue;
      }
    }
    const std::optional<std::string> ansi = ExactAnsi(path);
    if (!ansi) {
      leaveOut(path, "この環境の文字コードで表せない文字が名前に含まれています。");
      continue;
    }
    entries.push_back({DroppedEntryName(*ansi, IsFolder(path)), *ansi});
  }

  std::exception_ptr saveError;
  if (!entries.empty()) {
    try {
      list_.AddDroppedEntries(entries);
    } catch (...) {
      saveError = std::current_exception();
    }
  }
  if (leftOut > kMaxNamed) {
    notAdded += "\r\n\r\nほかに " + std::to_string(leftOut - kMaxNamed) + " 個のファイルも追加できませんでした。";
  }
  if (!notAdded.empty()) ShowWarning("以下のファイルは追加できませんでした。" + notAdded, "");
  if (saveError) std::rethrow_exception(saveError);
}

void EntryEditor::EditItem(int index) {
  // Without a selection the row after the last one: every cell empty.
  if (frmProp.Handle() && IsWindowVisible(frmProp.Handle())) {
    SetForegroundWindow(frmProp.Handle());
    return;
  }
  const int row = index >= 0 ? index : list_.sheetView.RowCount();
  const TCsvSheet& view = list_.sheetView;
  Prop().Open(view.GetCell(0, row), view.GetCell(1, row), view.GetCell(2, row), view.GetCell(4, row));
}

void EntryEditor::DeleteItem(int index) {
  if (index < 0 || index >= list_.sheetView.RowCount()) return;
  // A question whose Yes could not be carried out is not asked.
  list_.CheckSavable();
  const std::string name = list_.sheetView.GetCell(1, index);
  const std::string target = list_.sheetView.GetCell(2, index);
  const std::string id = list_.sheetView.GetCell(0, index);
  const LifeToken::Watch watch = life_.Observe();
  if (!AskYesNo("以下のファイルを削除しますか？\r\n" + platform::AnsiToUtf8(name) + "\r\n" + platform::AnsiToUtf8(target))) {
    return;
  }
  // The program may have ended, the list changed or been read again while
  // the question was open: the entry is found again, or left alone.
  if (!watch.Alive()) return;
  const int row = list_.ViewRowOf(id, target);
  if (row >= 0) list_.DeleteViewEntry(row);
}

void EntryEditor::CheckAndRemove() {
  const LifeToken::Watch watch = life_.Observe();
  list_.RemoveMissing(
      ExistsAnsi,
      [](const std::string& name, const std::string& target) {
        return AskYesNo("以下のファイルは存在しません。削除してもよろしいですか？\r\n" + platform::AnsiToUtf8(name) +
                        "\r\n" + platform::AnsiToUtf8(target));
      },
      [&watch] { return watch.Alive(); });
}

void EntryEditor::OpenTargetDir(int index) {
  if (index < 0 || index >= list_.sheetView.RowCount()) return;
  // A quoted target with arguments opens the folder of the quoted path.
  const std::string folder = TargetFolder(TargetPath(list_.sheetView.GetCell(2, index)));
  // A target without a folder part gives nothing to open.
  if (!folder.empty()) ShellOpen(folder);
}

}  // namespace lumora
