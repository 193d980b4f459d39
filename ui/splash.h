// The three splash screens: the maker's logo, the audio libraries' logo, the headphones notice.
#pragma once

#include "ui/screen_request.h"

// Each returns the next screen once its time is up.
ScreenRequest Splash_MakerStep();
ScreenRequest Splash_AudioStep();
ScreenRequest Splash_HeadphonesStep();

// The one-line notices under the logos.
extern const char* const kMakerNotice;
extern const char* const kAudioNotice;
