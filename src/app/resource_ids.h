// Resource ids shared by res/lumora.rc and the program.
#pragma once

#define IDI_LUMORA 1
