// The small decisions of the command line and the list, kept apart from the
// window so that they can be checked on their own: what Enter in the command
// line does for a given number of shown items, where the mouse wheel moves
// the selection, which typed words are commands, and how a launch with an
// argument is written as a command line.
#pragma once

#include <string>
#include <string_view>

namespace lumora {

// What Enter in the command line does, by the number of shown items.
enum class CommandEnter {
  kGoToList,     // more than one item: select the bottom row, focus the list
  kLaunchOnly,   // exactly one item: select it and launch it
  kTypedCommand  // no item: hand the typed text itself to the shell
};
CommandEnter CommandEnterFor(int itemCount);

// The selection after one wheel message: a positive delta moves one item up
// while the selection is below the top; zero or a negative delta moves one
// item down while it is above the bottom (from no selection, -1, to item 0).
// Otherwise the selection stays.
int WheelSelection(int selection, int itemCount, int delta);

// The typed word that restarts the program: "restart" exactly, letter case
// included.
bool IsRestartWord(std::string_view typedText);

// A path as one argument: enclosed in double quotes.
std::string QuotedPath(std::string_view path);

// The command line of a launch with an argument: the target in double quotes,
// one space, the argument as given.
std::string ArgumentCommandLine(std::string_view target, std::string_view argument);

}  // namespace lumora
