#include "icons/tray_icon_choice_win.h"

#include <commdlg.h>

#include <utility>
#include <vector>

#include "platform/application_win.h"
#include "platform/error.h"
#include "platform/handles_win.h"
#include "platform/open_dialog_win.h"
#include "platform/unicode_win.h"
#include "shell/gui_benri_win.h"

namespace lumora {

namespace {

constexpr char kNotAnIcon[] = "アイコン形式として認識できません！";
constexpr char kCaption[] = "アイコンの指定";
constexpr char kNameNotHeld[] = "このファイル名は使えません。";

// True when the file starts as an icon file does: reserved 0, type 1, and
// at least one image.
bool HasIconHeader(const std::string& ansiPath) {
  platform::FileHandle file(CreateFileA(ansiPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  unsigned char header[6] = {};
  DWORD got = 0;
  if (!ReadFile(file.get(), header, sizeof header, &got, nullptr) || got != sizeof header) return false;
  return header[0] == 0 && header[1] == 0 && header[2] == 1 && header[3] == 0 && (header[4] | header[5]) != 0;
}

// Puts the filter back at rest when the command ends, however it ends.
class FilterScope {
 public:
  FilterScope(std::wstring& filter, const wchar_t* during) : filter_(filter) { filter_ = during; }
  ~FilterScope() { filter_ = TrayIconChoice::kRestingFilter; }
  FilterScope(const FilterScope&) = delete;
  FilterScope& operator=(const FilterScope&) = delete;

 private:
  std::wstring& filter_;
};

}  // namespace

platform::IconHandle LoadIconFile(const std::string& ansiPath) {
  if (ansiPath.empty() || !HasIconHeader(ansiPath)) return {};
  return platform::IconHandle(static_cast<HICON>(LoadImageA(nullptr, ansiPath.c_str(), IMAGE_ICON,
                                                            GetSystemMetrics(SM_CXSMICON),
                                                            GetSystemMetrics(SM_CYSMICON), LR_LOADFROMFILE)));
}

platform::IconHandle LoadStoredTrayIcon(const platform::IniFile& settings) {
  return LoadIconFile(settings.ReadString("icon", "tasktray", ""));
}

TrayIconChoice::TrayIconChoice(ChooseFile choose)
    : choose_(choose ? std::move(choose) : ChooseFile(ChooseFileWithFilter)) {}

void TrayIconChoice::Change(platform::IniFile& settings, TMarlTasktray& tray) {
  const FilterScope scope(filter_, kIconFilter);
  const std::optional<std::wstring> chosen = choose_(filter_);
  if (!chosen) return;
  const std::string ansi = platform::WideToAnsi(*chosen);
  if (platform::AnsiToWide(ansi) != *chosen) {
    // The stored path would name another file, or none.
    ShowWarning(kNameNotHeld, kCaption);
    return;
  }
  platform::IconHandle icon = LoadIconFile(ansi);
  if (!icon) {
    ShowWarning(kNotAnIcon, kCaption);
    return;
  }
  try {
    settings.WriteString("icon", "tasktray", ansi);
  } catch (const AppError&) {
    ShowWarning(kNotAnIcon, kCaption);
    return;
  }
  tray.SetIcon(icon.get());
  // The tray uses the new icon now; the one before it can go.
  trayIconChoice = std::move(icon);
}

std::optional<std::wstring> ChooseFileWithFilter(const std::wstring& filter) {
  // "name|patterns|..." as the dialog takes it: every part ended by a NUL,
  // and one more NUL at the end.
  std::wstring parts = filter;
  for (wchar_t& c : parts) {
    if (c == L'|') c = L'\0';
  }
  parts.push_back(L'\0');
  parts.push_back(L'\0');
  std::vector<wchar_t> file(32768, L'\0');
  OPENFILENAMEW open{};
  open.lStructSize = sizeof open;
  open.hwndOwner = platform::MainWindow();
  open.lpstrFilter = parts.c_str();
  open.nFilterIndex = 1;
  open.lpstrFile = file.data();
  open.nMaxFile = static_cast<DWORD>(file.size());
  open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (!platform::GetOpenFileNameLazy(open)) return std::nullopt;
  return std::wstring(file.data());
}

}  // namespace lumora
