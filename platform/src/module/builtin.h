// Built-in modules: "msimg32.dll" exists in every process and exports TransparentBlt and
// AlphaBlend; it is loaded and freed with a use count like any other module.
#pragma once

#include <windows.h>

#include <string>

namespace kavet::platform::module {

bool isBuiltin(HMODULE module);
// The handle of a built-in module named `name` that is loaded (use count above 0), or null.
HMODULE findBuiltin(const char* name);
// Raises the use count of the built-in module named `name`; null when there is none.
HMODULE loadBuiltin(const char* name);
BOOL freeBuiltin(HMODULE module);
FARPROC builtinProc(HMODULE module, const char* name);
std::string builtinPath();

} // namespace kavet::platform::module
