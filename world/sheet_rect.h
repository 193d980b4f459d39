// A rectangle on the sprite sheet, in sheet pixels: how animation frames are kept.
#pragma once

struct SheetRect {
    float left, top, right, bottom;
};
