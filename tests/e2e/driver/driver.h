// The end-to-end driver in one include.
#pragma once

#include "driver/dialogs.h"
#include "driver/edit_box.h"
#include "driver/input.h"
#include "driver/list_box.h"
#include "driver/lumora_process.h"
#include "driver/program_folder.h"
#include "driver/screenshot.h"
#include "driver/text.h"
#include "driver/wait.h"
#include "driver/window.h"
