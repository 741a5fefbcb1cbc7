// Bitmap resources of a module outside Windows. A module registers one lookup function for
// its instance handle; LoadImageA and LoadBitmapA with that handle and an integer resource id
// (MAKEINTRESOURCEA(id), or the string "#id") then load the BMP file bytes it returns.
#pragma once

#include <windows.h>

#include <cstddef>

namespace kavet::platform {

// Finds resource `id`: on success stores the BMP file's bytes (with BITMAPFILEHEADER) and
// returns true. The bytes must stay valid while the module is registered.
using ResourceLookup = bool (*)(int id, const unsigned char** data, std::size_t* size);

// Registers (or replaces, or with a null lookup removes) the table of `module`.
void registerModuleResources(HINSTANCE module, ResourceLookup lookup);

// Registers the table of the module that contains `lookup` itself (found as
// GetModuleHandleExA with GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS finds it) and returns that
// module's handle, or null when it cannot be found.
HINSTANCE registerOwnModuleResources(ResourceLookup lookup);

} // namespace kavet::platform
