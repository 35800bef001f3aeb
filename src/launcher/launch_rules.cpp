#include "launcher/launch_rules.h"

namespace lumora {

CommandEnter CommandEnterFor(int itemCount) {
  if (itemCount > 1) return CommandEnter::kGoToList;
  if (itemCount == 1) return CommandEnter::kLaunchOnly;
  return CommandEnter::kTypedCommand;
}

int WheelSelection(int selection, int itemCount, int delta) {
  if (delta > 0) return selection > 0 ? selection - 1 : selection;
  return selection < itemCount - 1 ? selection + 1 : selection;
}

bool IsRestartWord(std::string_view typedText) { return typedText == "restart"; }

std::string QuotedPath(std::string_view path) {
  std::string quoted;
  quoted.reserve(path.size() + 2);
  quoted += '"';
  quoted += path;
  quoted += '"';
  return quoted;
}

std::string ArgumentCommandLine(std::string_view target, std::string_view argument) {
  std::string commandLine = QuotedPath(target);
  commandLine += ' ';
  commandLine += argument;
  return commandLine;
}

}  // namespace lumora
