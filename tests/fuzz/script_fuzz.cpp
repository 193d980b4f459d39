// Fuzz target for zorb-headless's command line: any words must parse or be refused cleanly.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/headless/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The input split at zero bytes is the argument list.
    std::vector<std::string> words{"zorb-headless"};
    std::string word;
    for (size_t i = 0; i < size; i++) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += (char)data[i];
        }
    }
    words.push_back(word);
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    HeadlessConfig config;
    std::string error;
    Headless_ParseArgs((int)argv.size(), argv.data(), &config, &error);
    HeadlessAction action;
    Headless_ParseAction(word, &action);
    return 0;
}
