// Naming the player's controls on the screens.
#include "ui/control_names.h"

#include "quillon/quillon.h"

namespace {

const char* const kMouse[QL_MOUSE_BUTTON_COUNT] = {
    "MOUSE LEFT", "MOUSE RIGHT", "MOUSE MIDDLE", "MOUSE 4", "MOUSE 5", "WHEEL UP", "WHEEL DOWN"};
const char* const kPadButtons[QL_PAD_BUTTON_COUNT] = {
    "A",  "B",  "X",  "Y",        "BACK",       "GUIDE",      "START",      "LS",
    "RS", "LB", "RB", "D-PAD UP", "D-PAD DOWN", "D-PAD LEFT", "D-PAD RIGHT"};

} // namespace

std::string ControlNames_Of(Control c) {
    switch (c.kind) {
    case Control::Key: {
        std::string typed = QL_Input_PlaceName(c.code);
        return typed == "ESCAPE" ? "ESC" : typed;
    }
    case Control::Mouse:
        return c.code >= 0 && c.code < QL_MOUSE_BUTTON_COUNT ? kMouse[c.code] : "";
    case Control::PadButton:
        return c.code >= 0 && c.code < QL_PAD_BUTTON_COUNT ? kPadButtons[c.code] : "";
    case Control::PadTrigger:
        return c.code == QL_PAD_LEFTTRIGGER ? "LT" : "RT";
    default:
        return "";
    }
}

std::string ControlNames_Action(Action action, bool pad) {
    const ActionBinding& b = Bindings_Of(bindings, action);
    for (int k = pad ? kPadSlot : 0; k < (pad ? kSlotCount : kKeySlots); k++)
        if (b.slots[k].kind != Control::None) return ControlNames_Of(b.slots[k]);
    return "-";
}
