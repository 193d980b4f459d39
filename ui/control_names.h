// How the screens name the player's controls: a key as the player's layout types it at its place
// ("Z" for the place of W on AZERTY), a mouse button in words, a pad's button as the pad hints
// name it ("RT", "D-PAD LEFT").
#pragma once

#include <string>

#include "core/bindings.h"

std::string ControlNames_Of(Control control);
// What an action is bound to, for a line that names it: its first key or mouse button, or with
// pad its pad button; "-" where it has none.
std::string ControlNames_Action(Action action, bool pad);
