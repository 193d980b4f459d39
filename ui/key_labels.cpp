// Key labels as places to click, for the mouse and the pad.
#include "ui/key_labels.h"

#include <cctype>
#include <cstring>

namespace {

struct Label {
    int key;
    float x0, y0, x1, y1;
};

const int kMaxLabels = 64;
Label labels[kMaxLabels];
int labelCount = 0;
int clickedKey = 0;
int pressedKey = 0; // the label the button went down on

float Width(const char* text, size_t length) {
    char part[256];
    length = length < sizeof part - 1 ? length : sizeof part - 1;
    std::memcpy(part, text, length);
    part[length] = 0;
    int w = 0, h = 0;
    QL_Font_MeasureText(part, &w, &h);
    return (float)w;
}

bool Under(const Label& l, float x, float y) {
    return x >= l.x0 && x < l.x1 && y >= l.y0 && y < l.y1;
}

// A label is one letter or digit in brackets.
bool LabelAt(const char* p) {
    return p[0] == '[' && std::isalnum((unsigned char)p[1]) && p[2] == ']';
}

} // namespace

// The key whose label (drawn last frame) is under the pointer, or 0.
static int KeyUnder(float x, float y) {
    for (int i = 0; i < labelCount; i++)
        if (Under(labels[i], x, y)) return labels[i].key;
    return 0;
}

// A click is a press and a release on the same label: a click that began elsewhere (on a splash
// screen cut short, say) asks for nothing where it ends.
void KeyLabels_BeginFrame() {
    int under = KeyUnder(QL_Input_GetMouseX(), QL_Input_GetMouseY());
    if (QL_Input_MouseClicked()) pressedKey = under;
    clickedKey = 0;
    if (QL_Input_MouseReleased(0)) {
        if (pressedKey == under) clickedKey = under;
        pressedKey = 0;
    }
    labelCount = 0;
}

void KeyLabels_Note(const char* line, float x, float y, QL_Color color) {
    int lineW = 0, lineH = 0;
    QL_Font_MeasureText(line, &lineW, &lineH);
    float left = x - (float)lineW / 2.0f;
    for (const char* p = line; *p; p++) {
        if (!LabelAt(p) || labelCount >= kMaxLabels) continue;
        float x0 = left + Width(line, (size_t)(p - line));
        Label l{std::toupper((unsigned char)p[1]), x0, y - (float)lineH, x0 + Width(p, 3), y};
        labels[labelCount++] = l;
        bool lit = QL_Pad_InUse() && color.r + color.g + color.b > 0 &&
                   Under(l, QL_Input_GetMouseX(), QL_Input_GetMouseY());
        if (!lit) continue;
        QL_Settings_Fill(QL_Color{255, 255, 0, 255});
        QL_Font_DrawText("[ ]", (x0 + l.x1) / 2.0f, y); // brackets lit around the letter
        const char letter[2] = {p[1], 0};
        QL_Font_DrawText(letter, (x0 + l.x1) / 2.0f, y);
    }
}

bool KeyLabels_Clicked(int key) {
    return clickedKey != 0 && clickedKey == key;
}

bool KeyLabels_Find(int key, float* x, float* y) {
    for (int i = 0; i < labelCount; i++) {
        if (labels[i].key != key) continue;
        *x = (labels[i].x0 + labels[i].x1) / 2.0f;
        *y = (labels[i].y0 + labels[i].y1) / 2.0f;
        return true;
    }
    return false;
}
