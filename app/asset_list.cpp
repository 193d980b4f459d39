// Loading and freeing ordered asset lists.
#include "app/asset_list.h"

#include "core/data_folder.h"

void AssetList_LoadSounds(const SoundAsset* list, int count) {
    for (int i = 0; i < count; i++)
        *list[i].handle =
            list[i].path ? QL_Sound_Load(DataFolder_Path(list[i].path).c_str()) : nullptr;
}

void AssetList_FreeSounds(const SoundAsset* list, int count) {
    for (int i = 0; i < count; i++) {
        QL_Sound_Free(*list[i].handle);
        *list[i].handle = nullptr;
    }
}

void AssetList_LoadImages(const ImageAsset* list, int count) {
    for (int i = 0; i < count; i++)
        *list[i].handle = QL_Image_Load(DataFolder_Path(list[i].path).c_str());
}

void AssetList_FreeImages(const ImageAsset* list, int count) {
    for (int i = 0; i < count; i++)
        QL_Image_Free(list[i].handle);
}
