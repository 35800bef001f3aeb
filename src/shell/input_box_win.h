// The program's small modal dialogs: a one-line input box and the open-file
// dialog. Both are owned by the application's main window.
#pragma once

#include <optional>
#include <string>

namespace lumora {

// A modal dialog (class "#32770") with the caption, the prompt above a
// one-line edit box holding the preset, and the buttons "OK" and
// "キャンセル". Caption and prompt are UTF-8; preset and answer are ANSI.
// Nothing when the user cancels.
std::optional<std::string> InputBox(const std::string& utf8Caption, const std::string& utf8Prompt,
                                    const std::string& ansiPreset);

// The open-file dialog with the filter "*.*"; the chosen file's full path
// (ANSI), or nothing when cancelled.
std::optional<std::string> ChooseFileToOpen();

}  // namespace lumora
