// The three splash screens: the maker's logo, the audio libraries' logo, the headphones notice.
#pragma once

void Splash_MakerStep();
void Splash_AudioStep();
void Splash_HeadphonesStep();

// The one-line notices under the logos.
extern const char* const kMakerNotice;
extern const char* const kAudioNotice;
