// The launcher window's entry editing: the file drop on the list, the
// property dialog, deleting an entry, removing the entries whose files are
// gone and opening an entry's folder. The launcher window owns one
// EntryEditor and forwards its handlers to it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "editing/NewCtrls_win.h"
#include "editing/frmPropU_win.h"
#include "platform/lifetime.h"

namespace lumora {

class LauncherList;

class EntryEditor {
 public:
  // Attaches the file drop to the list box; the property dialog will be
  // owned by the launcher window.
  EntryEditor(HWND launcher, HWND listBox, LauncherList& list);
  EntryEditor(const EntryEditor&) = delete;
  EntryEditor& operator=(const EntryEditor&) = delete;

  // One entry per dropped path, in order. A path that is empty, a shortcut
  // without a readable target, or a name the code page cannot hold is left
  // out and named in one message afterwards; the others are added, shown
  // and saved.
  void AddDroppedFiles(const std::vector<std::wstring>& files);
  // Opens the property dialog with the entry shown as item index (or empty,
  // for a new entry, when index is -1). While the dialog is open it only
  // comes to the front: what is typed there is never thrown away.
  void EditItem(int index);
  // Asks, then removes the entry shown as item index (nothing for -1).
  void DeleteItem(int index);
  // Asks about each entry whose drive path is gone, then saves.
  void CheckAndRemove();
  // Opens the folder part of the target of the entry shown as item index.
  void OpenTargetDir(int index);

  // The property dialog, made hidden the first time it is asked for (not
  // at start-up, which would wait for it).
  TfrmProp& Prop();

  TFileDrop fileDrop;
  TfrmProp frmProp;

 private:
  LauncherList& list_;
  HWND launcher_;
  // Asked after every question: the program may have ended meanwhile, and
  // the editor and the list with it.
  LifeToken life_;
};

}  // namespace lumora
