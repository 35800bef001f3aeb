// The program's version and home page, in one place for the program and its
// version resource (res/lumora.rc includes this file).
#pragma once

#define LUMORA_VERSION_TEXT "1.015"
#define LUMORA_VERSION_NUMBERS 1, 0, 1, 5
#define LUMORA_HOME_PAGE "https://lumora.example.jp/"
