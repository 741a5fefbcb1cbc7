// Windows code includes <objidl.h> for COM and OLE; they live in win32/ole.h here.
#pragma once

#include <windows.h>

#include "win32/ole.h"
