// The front end's asset handles and the font.
#include "ui/menu_assets.h"

MenuAssets menuAssets;
QL_Font gameFont;
