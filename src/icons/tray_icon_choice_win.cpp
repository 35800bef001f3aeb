#include "icons/tray_icon_choice_win.h"

#include <commdlg.h>

#include <utility>
#include <vector>

#include "icons/icon_file_check.h"
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

// True when the file is a sound icon file (IsSoundIconFile), read whole. A
// file of more than 16 MB is no icon anyone would show in the tray.
bool IsSoundIconFileOnDisk(const std::string& ansiPath) {
  constexpr LONGLONG kMaxBytes = 16 << 20;
  platform::FileHandle file(CreateFileA(ansiPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxBytes) return false;
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size()) {
    return false;
  }
  return IsSoundIconFile(bytes);
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
  // The system's loader trusts the sizes the file claims: it sees only a
  // file whose directory and image headers hold together.
  if (ansiPath.empty() || !IsSoundIconFileOnDisk(ansiPath)) return {};
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
