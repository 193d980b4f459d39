// Reading and writing settings.txt.
#include "core/settings_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

const char* const kHeader[] = {
    "# ZORB's settings, one \"name = value\" a line. A line the game cannot read gets its default.",
    "# Keys are named by where they sit, as on a US layout; pads by SDL's button names.",
};

// A setting that is a number within bounds, on a grid of steps from its lowest.
struct NumberField {
    const char* name;
    float Settings::*value;
    float lowest, highest, step;
};
const NumberField kNumbers[] = {
    {"mouse_sensitivity", &Settings::mouseSensitivity, kSensitivityLowest, kSensitivityHighest,
     0.1f},
    {"effects_volume", &Settings::sfxVolume, 0.0f, 1.0f, 0.1f},
    {"music_volume", &Settings::musicVolume, 0.0f, 1.0f, 0.1f},
    {"field_of_view", &Settings::fieldOfView, kFieldOfViewLowest, kFieldOfViewHighest, 5.0f},
};

// A setting that is one of a few words.
struct ChoiceField {
    const char* name;
    int32_t Settings::*value;
    std::vector<std::string> words;
};
std::vector<ChoiceField> ChoiceFields() {
    std::vector<std::string> caps;
    for (int cap : kFrameCapChoices)
        caps.push_back(cap == 0 ? "display" : std::to_string(cap));
    std::vector<std::string> shakes;
    for (int percent = 0; percent <= 100; percent += kShakeStep)
        shakes.push_back(std::to_string(percent));
    return {
        {"window_mode", &Settings::resolutionMode, {"640x480", "1280x720", "fullscreen"}},
        {"frame_cap", &Settings::frameCap, caps},
        {"debug_overlay", &Settings::debugOverlay, {"off", "on"}},
        {"flashes", &Settings::flashes, {"full", "soft", "off"}},
        {"screen_shake", &Settings::screenShake, shakes},
    };
}
// The screen shake is kept by its percent, the others by their index.
int ChoiceValue(const ChoiceField& f, size_t index) {
    return f.value == &Settings::screenShake ? (int)index * kShakeStep : (int)index;
}
size_t ChoiceIndex(const ChoiceField& f, int value) {
    return f.value == &Settings::screenShake ? (size_t)(value / kShakeStep) : (size_t)value;
}

void Line(std::ostringstream& out, const std::string& name, const std::string& value) {
    out << name << (value.empty() ? " =" : " = ") << value << "\n";
}

std::string Trim(const std::string& text) {
    size_t from = text.find_first_not_of(" \t\r");
    if (from == std::string::npos) return "";
    return text.substr(from, text.find_last_not_of(" \t\r") - from + 1);
}

bool ReadNumber(const NumberField& f, const std::string& text, Settings* s) {
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(v)) return false;
    double steps = (v - f.lowest) / f.step;
    if (v < f.lowest - 1e-4 || v > f.highest + 1e-4 || std::fabs(steps - std::round(steps)) > 1e-3)
        return false;
    s->*f.value = (float)v;
    return true;
}

bool ReadDisplayBounds(const std::string& text, DisplayChoice* d) {
    int x, y, w, h;
    char rest;
    if (std::sscanf(text.c_str(), "%d %d %d %d %c", &x, &y, &w, &h, &rest) != 4 || w <= 0 || h <= 0)
        return false;
    d->x = x, d->y = y, d->w = w, d->h = h;
    return true;
}

// A binding's line: key_NAME, key_NAME_2 or pad_NAME. Its action and slot, or false.
bool BindingSlot(const std::string& name, int* action, int* slot) {
    for (int a = 0; a < kActionCount; a++) {
        std::string n = kActionNames[a].file;
        for (int k = 0; k < kSlotCount; k++) {
            std::string line = k == kPadSlot ? "pad_" + n : "key_" + n + (k == 1 ? "_2" : "");
            if (name != line) continue;
            *action = a, *slot = k;
            return true;
        }
    }
    return false;
}

// A line of the settings themselves: true where its name is one of them, with ok saying whether
// its value could be read.
bool ReadSetting(const std::string& name, const std::string& value, Settings* s, bool* ok) {
    for (const NumberField& f : kNumbers)
        if (name == f.name) return (*ok = ReadNumber(f, value, s)), true;
    for (const ChoiceField& f : ChoiceFields()) {
        if (name != f.name) continue;
        *ok = false;
        for (size_t i = 0; i < f.words.size(); i++)
            if (value == f.words[i]) *ok = true, s->*f.value = ChoiceValue(f, i);
        return true;
    }
    if (name == "display") return (*ok = true), s->display.name = value, true;
    if (name == "display_bounds") return (*ok = ReadDisplayBounds(value, &s->display)), true;
    if (name == "version") return (*ok = !value.empty()), true;
    return false;
}

// A control held twice (a hand-edited file) is dropped the second time; pause without a key
// gets its defaults back, taken from wherever they went.
void MakeSound(Bindings* b, std::vector<std::string>* problems) {
    for (int a = 0; a < kActionCount; a++)
        for (int k = 0; k < kSlotCount; k++) {
            Control c = b->actions[a].slots[k];
            for (int a2 = 0; a2 <= a && c.kind != Control::None; a2++)
                for (int k2 = 0; k2 < kSlotCount && (a2 < a || k2 < k); k2++) {
                    if (b->actions[a2].slots[k2] != c) continue;
                    problems->push_back(Bindings_ControlText(c) + " is bound twice: kept for " +
                                        kActionNames[a2].file);
                    b->actions[a].slots[k] = Control{};
                }
        }
    const int pause = (int)Action::Pause;
    Bindings defaults = Bindings_Defaults();
    for (int k = 0; k < kKeySlots; k++)
        if (b->actions[pause].slots[k].kind == Control::Key) return;
    problems->push_back("pause has no key: it gets its defaults");
    for (int k = 0; k < kSlotCount; k++)
        Bindings_Bind(b, pause, k, defaults.actions[pause].slots[k]);
}

} // namespace

SettingsFileRead SettingsFile_Read(const std::string& text, const Settings& defaults) {
    SettingsFileRead read{defaults, Bindings_Defaults(), {}, {}};
    const Bindings fallback = read.bindings;
    bool damaged[kActionCount] = {};
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); number++) {
        if (!line.empty() && line.back() == '\r') line.pop_back(); // a file written on Windows
        std::string trimmed = Trim(line);
        bool ours = false;
        for (const char* header : kHeader)
            ours = ours || trimmed == header;
        size_t equals = trimmed.find('=');
        if (ours || trimmed.empty()) continue;
        std::string name = Trim(trimmed.substr(0, equals)), value;
        if (equals != std::string::npos) value = Trim(trimmed.substr(equals + 1));
        int action = 0, slot = 0;
        bool ok = equals != std::string::npos;
        if (BindingSlot(name, &action, &slot)) {
            Control c;
            ok = ok && Bindings_ControlFromText(value, slot == kPadSlot, &c) &&
                 Bindings_Fits(action, slot, c);
            if (ok) read.bindings.actions[action].slots[slot] = c;
            damaged[action] = damaged[action] || !ok;
        } else if (equals == std::string::npos || !ReadSetting(name, value, &read.settings, &ok)) {
            read.unknown.push_back(line);
            continue;
        }
        if (!ok)
            read.problems.push_back("line " + std::to_string(number) + ": \"" + trimmed +
                                    "\" cannot be read: the default is used");
    }
    for (int a = 0; a < kActionCount; a++)
        if (damaged[a]) read.bindings.actions[a] = fallback.actions[a];
    MakeSound(&read.bindings, &read.problems);
    return read;
}

std::string SettingsFile_Text(const Settings& s, const Bindings& b,
                              const std::vector<std::string>& unknown) {
    std::ostringstream out;
    for (const char* header : kHeader)
        out << header << "\n";
    out << "version = " << kSettingsFileVersion << "\n";
    char number[32];
    for (const NumberField& f : kNumbers) {
        std::snprintf(number, sizeof number, "%.2f", (double)(s.*f.value));
        out << f.name << " = " << number << "\n";
    }
    for (const ChoiceField& f : ChoiceFields()) {
        size_t i = ChoiceIndex(f, s.*f.value);
        out << f.name << " = " << (i < f.words.size() ? f.words[i] : f.words[0]) << "\n";
    }
    if (!s.display.name.empty())
        out << "display = " << s.display.name << "\ndisplay_bounds = " << s.display.x << " "
            << s.display.y << " " << s.display.w << " " << s.display.h << "\n";
    for (int a = 0; a < kActionCount; a++) {
        const Control* slots = b.actions[a].slots;
        std::string n = kActionNames[a].file;
        Line(out, "key_" + n, Bindings_ControlText(slots[0]));
        Line(out, "key_" + n + "_2", Bindings_ControlText(slots[1]));
        Line(out, "pad_" + n, Bindings_ControlText(slots[kPadSlot]));
    }
    for (const std::string& line : unknown)
        out << line << "\n";
    return out.str();
}
