// The settings file, settings.txt: every setting and binding as plain text a person can read and
// edit, one "name = value" a line after a version line. Reading never fails: a missing line
// keeps its default, a damaged or out-of-range one gets its default and is told as a problem
// (a damaged binding gives its action its defaults), and a line the game does not know is kept
// to be written again, so that an older and a newer game can share one file.
#pragma once

#include <string>
#include <vector>

#include "core/bindings.h"
#include "core/settings.h"

const int kSettingsFileVersion = 1;

struct SettingsFileRead {
    Settings settings;
    Bindings bindings;
    std::vector<std::string> unknown;  // lines kept as they were, in order
    std::vector<std::string> problems; // one a damaged line: "line 4: ..."
};

// Reads the file's text over the defaults given.
SettingsFileRead SettingsFile_Read(const std::string& text, const Settings& defaults);
// The file's text for these settings and bindings, the unknown lines last.
std::string SettingsFile_Text(const Settings& s, const Bindings& b,
                              const std::vector<std::string>& unknown);
