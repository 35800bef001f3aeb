// The launcher window's entry editing handlers, each a forward to the
// window's EntryEditor (editing/entry_editor_win.h): the list's file drop,
// the property dialog for a new or the selected entry, deleting, the
// removal of missing files and the target's folder.
#include "app/frmLumoraU_win.h"
#include "editing/entry_editor_win.h"

namespace lumora {

void TfrmLumora::CreateEditor() {
  editor_ = std::make_unique<EntryEditor>(Handle(), lstMain, *list_);
  editor_->fileDrop.OnFileDrop = [this](TFileDrop& sender, int num, const std::vector<std::wstring>& files, int x,
                                        int y) { fileDropFileDrop(sender, num, files, x, y); };
}

void TfrmLumora::fileDropFileDrop(TFileDrop& /*sender*/, int /*num*/, const std::vector<std::wstring>& files,
                                  int /*x*/, int /*y*/) {
  if (editor_) editor_->AddDroppedFiles(files);
}

void TfrmLumora::popAddItemClick() {
  listDisplay_.Select(-1);
  popEditItemClick();
}

void TfrmLumora::popEditItemClick() {
  if (editor_) editor_->EditItem(listDisplay_.Selection());
}

void TfrmLumora::popDelItemClick() {
  if (editor_) editor_->DeleteItem(listDisplay_.Selection());
}

void TfrmLumora::popCheckAndRemoveClick() {
  if (editor_) editor_->CheckAndRemove();
}

void TfrmLumora::mnuOpenTargetDirClick() {
  if (editor_) editor_->OpenTargetDir(listDisplay_.Selection());
}

}  // namespace lumora
