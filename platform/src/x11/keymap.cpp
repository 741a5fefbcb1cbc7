// X key symbols as Windows virtual keys: the keys a channel strip's text entry and controls
// use. Symbols are those of the user's keyboard layout, so '-' is VK_OEM_MINUS wherever the
// layout puts it.
#include "x11/backend.h"

#include <X11/keysym.h>

namespace kavet::x11 {

int virtualKeyOf(KeySym s) {
    if (s >= XK_a && s <= XK_z) return static_cast<int>('A' + (s - XK_a));
    if (s >= XK_A && s <= XK_Z) return static_cast<int>('A' + (s - XK_A));
    if (s >= XK_0 && s <= XK_9) return static_cast<int>('0' + (s - XK_0));
    if (s >= XK_KP_0 && s <= XK_KP_9) return VK_NUMPAD0 + static_cast<int>(s - XK_KP_0);
    if (s >= XK_F1 && s <= XK_F12) return VK_F1 + static_cast<int>(s - XK_F1);
    switch (s) {
    case XK_Return:
    case XK_KP_Enter:
        return VK_RETURN;
    case XK_Escape:
        return VK_ESCAPE;
    case XK_BackSpace:
        return VK_BACK;
    case XK_Tab:
    case XK_ISO_Left_Tab:
        return VK_TAB;
    case XK_Delete:
    case XK_KP_Delete:
        return VK_DELETE;
    case XK_Insert:
    case XK_KP_Insert:
        return VK_INSERT;
    case XK_Left:
    case XK_KP_Left:
        return VK_LEFT;
    case XK_Right:
    case XK_KP_Right:
        return VK_RIGHT;
    case XK_Up:
    case XK_KP_Up:
        return VK_UP;
    case XK_Down:
    case XK_KP_Down:
        return VK_DOWN;
    case XK_Home:
    case XK_KP_Home:
        return VK_HOME;
    case XK_End:
    case XK_KP_End:
        return VK_END;
    case XK_Page_Up:
    case XK_KP_Page_Up:
        return VK_PRIOR;
    case XK_Page_Down:
    case XK_KP_Page_Down:
        return VK_NEXT;
    case XK_space:
        return VK_SPACE;
    case XK_minus:
    case XK_underscore:
        return VK_OEM_MINUS;
    case XK_period:
    case XK_greater:
        return VK_OEM_PERIOD;
    case XK_comma:
    case XK_less:
        return VK_OEM_COMMA;
    case XK_plus:
    case XK_equal:
        return VK_OEM_PLUS;
    case XK_KP_Subtract:
        return VK_SUBTRACT;
    case XK_KP_Add:
        return VK_ADD;
    case XK_KP_Decimal:
        return VK_DECIMAL;
    case XK_KP_Multiply:
        return VK_MULTIPLY;
    case XK_KP_Divide:
        return VK_DIVIDE;
    case XK_Shift_L:
        return VK_LSHIFT;
    case XK_Shift_R:
        return VK_RSHIFT;
    case XK_Control_L:
        return VK_LCONTROL;
    case XK_Control_R:
        return VK_RCONTROL;
    case XK_Alt_L:
    case XK_Meta_L:
        return VK_LMENU;
    case XK_Alt_R:
    case XK_Meta_R:
    case XK_ISO_Level3_Shift:
        return VK_RMENU;
    case XK_Caps_Lock:
        return VK_CAPITAL;
    default:
        return 0;
    }
}

} // namespace kavet::x11
