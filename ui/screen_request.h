// What a screen asks of the program when the player has chosen: the screens only ask; the
// program (app/) switches the game state.
#pragma once

enum class ScreenRequest {
    None,
    StartRun, // the title's E
    ToMenu,   // the pause overlay's confirmed quit, the game-over screen's button
    Quit,     // the title's confirmed quit
    WatchRun  // the high-score screen's 1 to 8: the recording of that place
};
