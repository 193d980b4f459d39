// The title screen: the game's instructions and its key menu, with the quit question.
#pragma once

void Title_Step();
