// A DLL that the DLL search test puts beside a program: found by name unless
// the search is restricted to the system folder.
#include <windows.h>

extern "C" __declspec(dllexport) int LumoraPlanted() { return 1; }
