// Sets "launch"/"sort" to "name" and "time" by turns in the settings file
// named on the command line, through the program's settings writer, until
// it is killed.
#include <exception>

#include "platform/ini_file_win.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  lumora::platform::IniFile settings(argv[1]);
  for (unsigned n = 1;; ++n) {
    try {
      settings.WriteString("launch", "sort", n % 2 ? "name" : "time");
    } catch (const std::exception&) {
    }
  }
}
