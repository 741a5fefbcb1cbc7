#include "user/keyboard.h"

#include <cstring>

namespace kavet::user {
namespace {

struct Punct {
    int vk;
    char plain, shifted;
};
constexpr Punct kPunct[] = {
    {VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'},   {VK_OEM_COMMA, ',', '<'},
    {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
    {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},
    {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'},     {VK_SPACE, ' ', ' '},
};
constexpr const char* kShiftedDigits = ")!@#$%^&*(";

} // namespace

char charForKey(int vk, bool shift, bool control, bool capsLock) {
    if (vk >= 'A' && vk <= 'Z') {
        if (control) return static_cast<char>(vk - 'A' + 1);
        bool upper = shift != capsLock;
        return static_cast<char>(upper ? vk : vk - 'A' + 'a');
    }
    if (control) return vk == VK_BACK ? 0x7F : 0;
    if (vk >= '0' && vk <= '9') return shift ? kShiftedDigits[vk - '0'] : static_cast<char>(vk);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return static_cast<char>('0' + vk - VK_NUMPAD0);
    switch (vk) {
    case VK_BACK:
        return '\b';
    case VK_TAB:
        return '\t';
    case VK_RETURN:
        return '\r';
    case VK_ESCAPE:
        return 0x1B;
    case VK_MULTIPLY:
        return '*';
    case VK_ADD:
        return '+';
    case VK_SUBTRACT:
        return '-';
    case VK_DECIMAL:
        return '.';
    case VK_DIVIDE:
        return '/';
    default:
        break;
    }
    for (const Punct& p : kPunct)
        if (p.vk == vk) return shift ? p.shifted : p.plain;
    return 0;
}

bool keyForChar(char c, int& vk, bool& shift) {
    shift = false;
    if (c >= 'a' && c <= 'z') return vk = c - 'a' + 'A', true;
    if (c >= 'A' && c <= 'Z') return vk = c, shift = true, true;
    if (c >= '0' && c <= '9') return vk = c, true;
    if (const char* d = std::strchr(kShiftedDigits, c); d && c) {
        vk = static_cast<int>('0' + (d - kShiftedDigits));
        shift = true;
        return true;
    }
    switch (c) {
    case '\b':
        return vk = VK_BACK, true;
    case '\t':
        return vk = VK_TAB, true;
    case '\r':
    case '\n':
        return vk = VK_RETURN, true;
    case 0x1B:
        return vk = VK_ESCAPE, true;
    default:
        break;
    }
    for (const Punct& p : kPunct) {
        if (p.plain == c) return vk = p.vk, true;
        if (p.shifted == c) return vk = p.vk, shift = true, true;
    }
    return false;
}

} // namespace kavet::user
