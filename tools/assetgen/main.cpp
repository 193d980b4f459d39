// zorb-assetgen: writes every file the game loads under the given Assets folder.
#include <cstdio>
#include <string>

#include "tools/assetgen/font.h"

int main(int argc, char** argv) {
    std::string root = argc > 1 ? argv[1] : "Assets";
    bool ok = Font_Generate(root);
    if (!ok) std::fprintf(stderr, "zorb-assetgen: failed\n");
    return ok ? 0 : 1;
}
