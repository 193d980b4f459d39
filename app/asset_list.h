// Ordered lists of asset files and the handles they load into, so a state loads and frees its
// set in one fixed order.
#pragma once

#include "quillon/quillon.h"

struct SoundAsset {
    const char* path; // null: the file does not exist and the handle stays empty
    QL_Sound* handle;
};

struct ImageAsset {
    const char* path;
    QL_Image* handle;
};

void AssetList_LoadSounds(const SoundAsset* list, int count);
void AssetList_FreeSounds(const SoundAsset* list, int count);
void AssetList_LoadImages(const ImageAsset* list, int count);
void AssetList_FreeImages(const ImageAsset* list, int count);
