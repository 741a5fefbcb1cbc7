// Window class lookup shared by creation and the built-in classes.
#pragma once

#include "user/state.h"

namespace kavet::user {

// Under the lock: the class that CreateWindowExA would use for (name or atom, instance):
// the instance's own class first, then global classes, then the built-in ones.
std::shared_ptr<WindowClass> findClassLocked(LPCSTR name, HINSTANCE instance);
// Registers the built-in classes once ("EDIT").
void ensureSystemClasses();
LRESULT CALLBACK editWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace kavet::user
