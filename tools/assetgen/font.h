// The game's font: DejaVu Sans Mono Bold from the system's fonts-dejavu-core, with its licence.
#pragma once

#include <string>

bool Font_Generate(const std::string& root);
