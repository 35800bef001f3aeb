// The settings file's text with one value set; every other byte is kept.
#include <gtest/gtest.h>

#include "platform/ini_text.h"

namespace lumora::platform {
namespace {

TEST(IniTextTest, AnExistingKeyTakesTheValueInPlace) {
  EXPECT_EQ(SetIniValue("; note\r\n[icon]\r\nx=1\r\n[launch]\r\n Sort = time \r\nx=1\r\n", "launch", "sort", "name"),
            "; note\r\n[icon]\r\nx=1\r\n[launch]\r\nsort=name\r\nx=1\r\n");
  // Names match without blanks and letter case; the first match is set, the
  // one the reader takes.
  EXPECT_EQ(SetIniValue("[A]\nk=1\n[ a ]\nk=2\n", "a", "k", "3"), "[A]\nk=3\n[ a ]\nk=2\n");
  EXPECT_EQ(SetIniValue("\xEF\xBB\xBF[s]\r\nk=old", "s", "k", "new"), "\xEF\xBB\xBF[s]\r\nk=new");
}

TEST(IniTextTest, NewKeysEndTheirSectionAndNewSectionsTheFile) {
  EXPECT_EQ(SetIniValue("[hotkey]\r\nshow=Ctrl+Q\r\n\r\n[flag]\r\nk=1\r\n", "hotkey", "movecur", "Alt+M"),
            "[hotkey]\r\nshow=Ctrl+Q\r\nmovecur=Alt+M\r\n\r\n[flag]\r\nk=1\r\n");
  EXPECT_EQ(SetIniValue("[s]\rk=1\r[t]\r", "s", "j", "2"), "[s]\rk=1\rj=2\r\n[t]\r");
  EXPECT_EQ(SetIniValue("", "flag", "installed", "1"), "[flag]\r\ninstalled=1\r\n");
  EXPECT_EQ(SetIniValue("[a]\r\nk=1", "b", "k", "2"), "[a]\r\nk=1\r\n[b]\r\nk=2\r\n");
}

}  // namespace
}  // namespace lumora::platform
