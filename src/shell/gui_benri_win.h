// Shell, folder and dialog helpers: the small services the rest of the
// program calls instead of talking to the shell directly. Paths and command
// lines are ANSI; message texts are UTF-8. Folder results end with a
// backslash.
#pragma once

#include <string>

namespace lumora {

// ShellExecuteA(no owner, "open", target, "", "", SW_SHOW); the result as the
// shell gives it, above 32 meaning success. Shows no message. A target longer
// than the shell takes (ShellTakes) is refused with SE_ERR_FNF and never
// reaches the shell.
int ShellOpen(const std::string& target);
// The same with a working folder for the started program, so that the
// program itself never has to change its own current folder. A working
// folder longer than a path is refused the same way.
int ShellOpenIn(const std::string& target, const std::string& workingFolder);

// WinExec(commandLine, SW_SHOW): the result as WinExec gives it, above 32
// meaning success. A command line longer than a process takes (StartTakes) is
// refused with ERROR_FILE_NOT_FOUND and never reaches the system.
int StartCommandLine(const std::string& commandLine);

// The longest texts handed on, in characters (UTF-16 units of the ANSI text,
// and of the text with its environment variables expanded): a web address (a
// scheme of two or more letters and a colon) up to 2,083, anything else (a
// path, a name the shell looks up) up to MAX_PATH - 1. Lower under Wine,
// whose shell copies the text into fixed buffers of its own: 900 for every
// target, 248 for one that starts with "www".
bool ShellTakes(const std::string& target);
// A command line for WinExec: up to 32,766 characters, the most a process
// gets.
bool StartTakes(const std::string& commandLine);

// Starts a process (the command line, or the application text when the
// command line is empty) and waits for it to end, dispatching this thread's
// window messages every 100 ms meanwhile. False when it could not start.
bool RunAndWait(const std::string& application, const std::string& commandLine);

// The path with every component in its long form; components that cannot be
// found stay as written.
std::string GetLongPath(const std::string& path);

// Creates the folder and every missing folder above it. The path is ANSI and
// may end with backslashes; a two-byte character whose second byte is a
// backslash (表, ソ, 能 in Shift-JIS) stays part of its name. Failures are
// left to the code that later writes into the folder.
void CreateFolderTree(const std::string& folder);

std::string GetWindowsFolder();
std::string GetSystemFolder();
std::string GetSpecialFolder(int csidl);
std::string GetSendToFolder();
std::string GetStartupFolder();

enum class ShortcutWindow { kNormal, kMinimized, kMaximized };

// Writes a shell link; false (and no file) when any step fails. Needs COM on
// the calling thread.
bool CreateShortcut(const std::string& shortcutFile, const std::string& target,
                    const std::string& arguments, ShortcutWindow window,
                    const std::string& workingFolder);

// Yes/No question with the question icon and the application title as
// caption; true for Yes.
bool AskYesNo(const std::string& utf8Question);
// A warning with only an OK button; the application title when the caption is empty.
void ShowWarning(const std::string& utf8Message, const std::string& utf8Caption);
// Plain information: no icon, an OK button, the application title as caption.
void ShowMessage(const std::string& utf8Message);

}  // namespace lumora
