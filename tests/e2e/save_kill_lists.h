// The two lists the save-kill test and its save loop write by turns: the
// same number of rows, different text, about 150 KB each, so that a save
// takes long enough to be cut.
#pragma once

#include <string>

#include "sheet/CsvUtils2.h"

namespace lumora::e2e {

inline constexpr int kSaveKillRows = 2000;

inline void MakeSaveKillList(TCsvSheet& sheet, int which) {
  sheet.Clear();
  const std::string name = which == 0 ? "old entry " : "new entry ";
  for (int r = 0; r < kSaveKillRows; ++r) {
    sheet.SetCell(0, r, std::to_string(r + 1));
    sheet.SetCell(1, r, name + std::to_string(r));
    sheet.SetCell(2, r, "C:\\Program Files\\Some Tool\\" + name + std::to_string(r) + ".exe");
    sheet.SetCell(3, r, std::to_string(which * 10 + r % 7));
    sheet.SetCell(4, r, "2026/12/08 10:0" + std::to_string(which) + ":00");
    sheet.SetCell(5, r, "");
    sheet.SetCell(6, r, "");
  }
}

}  // namespace lumora::e2e
