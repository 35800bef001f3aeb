// Saves the two lists of save_kill_lists.h by turns to the file named on the
// command line, through the program's own list writer, until it is killed.
#include <exception>

#include "save_kill_lists.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  lumora::TCsvSheet lists[2];
  lumora::e2e::MakeSaveKillList(lists[0], 0);
  lumora::e2e::MakeSaveKillList(lists[1], 1);
  for (unsigned n = 1;; ++n) {
    try {
      lists[n % 2].SaveToFile(argv[1], '\t', "\r\n");
    } catch (const std::exception&) {
      // A save refused for a moment (the file held elsewhere) is tried again.
    }
  }
}
