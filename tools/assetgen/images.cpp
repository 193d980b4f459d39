// The full pictures of the front end and the cursor.
#include "tools/assetgen/images.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cmath>

#include "tools/assetgen/emblems.h"
#include "tools/assetgen/logos.h"
#include "tools/assetgen/output.h"

static Picture Headphones(const std::string& font) {
    const int w = 1280, h = 720;
    Picture p = Picture_Make(w, h, Rgba{0, 0, 0, 255});
    Rgba band{230, 230, 235, 255}, cup{90, 200, 255, 255};
    for (int k = 0; k < 2000; k++) { // the headband: a thick half ring
        float a = 3.14159f * k / 1999.0f;
        Picture_FillEllipse(&p, 640 + std::cos(a) * 150, 300 - std::sin(a) * 150, 12, 12, band);
    }
    Picture_FillEllipse(&p, 490, 320, 45, 70, cup);
    Picture_FillEllipse(&p, 790, 320, 45, 70, cup);
    Picture_FillEllipse(&p, 490, 320, 25, 45, Rgba{30, 60, 90, 255});
    Picture_FillEllipse(&p, 790, 320, 25, 45, Rgba{30, 60, 90, 255});
    Emblem_Text(&p, font, "HEADPHONES RECOMMENDED", 56, w / 2, 470, Rgba{255, 255, 255, 255});
    Emblem_Text(&p, font, "Enemies are heard left and right before they are seen", 26, w / 2, 550,
                Rgba{170, 170, 180, 255});
    return p;
}

// An arrow with its tip, the hot spot, at the top-left pixel.
static Picture Cursor() {
    Picture p = Picture_Make(32, 32, Rgba{0, 0, 0, 0});
    for (int y = 0; y < 22; y++)
        for (int x = 0; x <= y * 2 / 3; x++)
            Picture_Set(&p, x, y, Rgba{255, 255, 255, 255});
    Picture_FillRect(&p, 6, 14, 4, 12, Rgba{255, 255, 255, 255});
    Picture_Outline(&p, 0, 0, 32, 32, Rgba{0, 0, 0, 255});
    Picture_Set(&p, 0, 0, Rgba{0, 0, 0, 255});
    return p;
}

static bool Save(const std::string& root, const char* path, const Picture& p) {
    return Output_Write(root, path, Picture_EncodePng(p));
}

bool Images_Generate(const std::string& root, const std::string& font) {
    if (!TTF_WasInit() && TTF_Init() != 0) return false;
    const Picture maker = Logos_Maker(font), audio = Logos_Audio(font);
    const Rgba shadow{0, 0, 0, 255};
    return Save(root, "Art/HalvaneLogos/Halvane_WHITE.png", maker) &&
           Save(root, "Art/HalvaneLogos/Halvane_BLACK.png", Emblem_Silhouette(maker, shadow)) &&
           Save(root, "Art/FMODLogoWhite.png", audio) &&
           Save(root, "Art/FMODLogoBlack.png", Emblem_Silhouette(audio, shadow)) &&
           Save(root, "Art/Headphones.png", Headphones(font)) &&
           Save(root, "Art/GameLogo.png", Logos_Game(font)) &&
           Save(root, "Art/Cursor.png", Cursor());
}
