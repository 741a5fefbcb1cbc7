// Windows code includes <shlobj.h> for drag-and-drop files and shell links; they live in
// win32/shell.h here.
#pragma once

#include <windows.h>

#include "win32/ole.h"
#include "win32/shell.h"
