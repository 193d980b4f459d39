// Parsing of zorb-headless's command line.
#include "tools/headless/script.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "quillon/quillon.h"

// "E" -> 'E', "ESC" -> Escape, "1" -> '1', "SPACE" -> ' '.
static int ParseKey(const std::string& name) {
    if (name == "ESC" || name == "ESCAPE") return QL_KEY_ESCAPE;
    if (name == "SPACE") return ' ';
    if (name.size() != 1) return -1;
    char c = name[0];
    if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
    return (unsigned char)c;
}

static bool ParseXY(const std::string& text, float* x, float* y) {
    return std::sscanf(text.c_str(), "%f,%f", x, y) == 2;
}

bool Headless_ParseAction(const std::string& text, HeadlessAction* a) {
    size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    char* end = nullptr;
    a->frame = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + colon || a->frame < 0) return false;
    std::string rest = text.substr(colon + 1);
    size_t sep = rest.find(':');
    if (sep == std::string::npos) return false;
    std::string verb = rest.substr(0, sep), arg = rest.substr(sep + 1);
    a->key = -1;
    a->x = a->y = 0.0f;
    if (verb == "key" || verb == "down" || verb == "up") {
        a->kind = verb == "key"
                      ? HeadlessAction::KeyTap
                      : (verb == "down" ? HeadlessAction::KeyDown : HeadlessAction::KeyUp);
        a->key = ParseKey(arg);
        return a->key >= 0;
    }
    if (verb == "click" || verb == "mouse") {
        a->kind = verb == "click" ? HeadlessAction::Click : HeadlessAction::Mouse;
        return ParseXY(arg, &a->x, &a->y);
    }
    if (verb == "focus" && (arg == "0" || arg == "1")) {
        a->kind = HeadlessAction::Focus;
        a->x = arg == "1" ? 1.0f : 0.0f;
        return true;
    }
    return false;
}

static bool ParseShot(const std::string& text, HeadlessShot* shot) {
    size_t colon = text.find(':');
    if (colon == std::string::npos || colon + 1 >= text.size()) return false;
    shot->frame = std::atol(text.substr(0, colon).c_str());
    shot->path = text.substr(colon + 1);
    return true;
}

// Each flag takes one value; returns false on a bad one.
static bool ParseFlag(const std::string& flag, const std::string& value, HeadlessConfig* c) {
    if (flag == "--size") return std::sscanf(value.c_str(), "%dx%d", &c->width, &c->height) == 2;
    if (flag == "--dt") return (c->dt = std::strtof(value.c_str(), nullptr)) > 0.0f;
    if (flag == "--frames") return (c->frames = std::atol(value.c_str())) >= 0;
    if (flag == "--seed") {
        c->seed = (unsigned)std::strtoul(value.c_str(), nullptr, 10);
        return c->seedGiven = true;
    }
    if (flag == "--report") {
        c->report = value;
        return true;
    }
    if (flag == "--shot") {
        HeadlessShot shot;
        if (!ParseShot(value, &shot)) return false;
        c->shots.push_back(shot);
        return true;
    }
    if (flag == "--at") {
        HeadlessAction action;
        if (!Headless_ParseAction(value, &action)) return false;
        c->actions.push_back(action);
        return true;
    }
    return false;
}

bool Headless_ParseArgs(int argc, char** argv, HeadlessConfig* config, std::string* error) {
    for (int i = 1; i < argc; i++) {
        std::string flag = argv[i];
        if (flag == "--autoplay" || flag == "--count-only") {
            (flag == "--autoplay" ? config->autoplay : config->countOnly) = true;
            continue;
        }
        if (i + 1 >= argc || !ParseFlag(flag, argv[i + 1], config)) {
            *error = "bad argument: " + flag + (i + 1 < argc ? " " + std::string(argv[i + 1]) : "");
            return false;
        }
        i++;
    }
    return true;
}
