// The front end's images and sounds, loaded by its init and freed by its exit, and the one font.
#pragma once

#include "quillon/quillon.h"

struct MenuAssets {
    QL_Image makerWhite, makerBlack; // the maker's logo and its shadow
    QL_Image audioBlack, audioWhite; // the audio library's logo: shadow and front
    QL_Image headphones, gameLogo;
    QL_Sound music; // Downtime
    QL_Sound blip;
};

extern MenuAssets menuAssets;
extern QL_Font gameFont; // loaded once, kept for the program's life
