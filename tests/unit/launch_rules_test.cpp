// The command line's and the list's small decisions: Enter by item count, the
// wheel, the restart word and the command line of a launch with an argument.
#include <gtest/gtest.h>

#include "launcher/launch_rules.h"

namespace lumora {
namespace {

TEST(LaunchRulesTest, EnterDependsOnlyOnTheNumberOfShownItems) {
  EXPECT_EQ(CommandEnterFor(0), CommandEnter::kTypedCommand);
  EXPECT_EQ(CommandEnterFor(1), CommandEnter::kLaunchOnly);
  EXPECT_EQ(CommandEnterFor(2), CommandEnter::kGoToList);
  EXPECT_EQ(CommandEnterFor(10000), CommandEnter::kGoToList);
}

TEST(LaunchRulesTest, WheelAwayFromTheUserMovesUpOneItemUntilTheTop) {
  EXPECT_EQ(WheelSelection(3, 5, 120), 2);
  EXPECT_EQ(WheelSelection(1, 5, 120), 0);
  EXPECT_EQ(WheelSelection(0, 5, 120), 0);    // already at the top
  EXPECT_EQ(WheelSelection(-1, 5, 120), -1);  // no selection stays none
  EXPECT_EQ(WheelSelection(4, 5, 960), 3);    // one item whatever the delta
  EXPECT_EQ(WheelSelection(4, 5, 1), 3);
}

TEST(LaunchRulesTest, WheelTowardTheUserMovesDownOneItemUntilTheBottom) {
  EXPECT_EQ(WheelSelection(2, 5, -120), 3);
  EXPECT_EQ(WheelSelection(3, 5, -960), 4);
  EXPECT_EQ(WheelSelection(4, 5, -120), 4);   // already at the bottom
  EXPECT_EQ(WheelSelection(-1, 5, -120), 0);  // from no selection to the top item
  EXPECT_EQ(WheelSelection(2, 5, 0), 3);      // a zero delta counts as toward the user
  EXPECT_EQ(WheelSelection(-1, 0, -120), -1); // an empty list has nothing to select
  EXPECT_EQ(WheelSelection(-1, 0, 120), -1);
}

TEST(LaunchRulesTest, OnlyTheExactWordRestartIsACommand) {
  EXPECT_TRUE(IsRestartWord("restart"));
  EXPECT_FALSE(IsRestartWord("Restart"));
  EXPECT_FALSE(IsRestartWord("RESTART"));
  EXPECT_FALSE(IsRestartWord("restart "));
  EXPECT_FALSE(IsRestartWord(" restart"));
  EXPECT_FALSE(IsRestartWord("restarts"));
  EXPECT_FALSE(IsRestartWord(""));
}

TEST(LaunchRulesTest, ArgumentLaunchQuotesTheTargetAndKeepsTheArgumentAsGiven) {
  EXPECT_EQ(ArgumentCommandLine("C:\\Tools\\viewer.exe", QuotedPath("C:\\My Files\\a.txt")),
            "\"C:\\Tools\\viewer.exe\" \"C:\\My Files\\a.txt\"");
  // A typed argument is not quoted again; spaces and quotes stay as typed.
  EXPECT_EQ(ArgumentCommandLine("C:\\Program Files\\ed.exe", "-n 5 \"x y\""),
            "\"C:\\Program Files\\ed.exe\" -n 5 \"x y\"");
  // Shift-JIS bytes (0x95 0x5C is a character whose second byte is a backslash) pass through.
  EXPECT_EQ(ArgumentCommandLine("C:\\\x95\x5C\\a.exe", "b"), "\"C:\\\x95\x5C\\a.exe\" b");
  EXPECT_EQ(QuotedPath(""), "\"\"");
}

}  // namespace
}  // namespace lumora
