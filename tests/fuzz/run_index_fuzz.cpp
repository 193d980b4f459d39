// Fuzz target for the runs' index: any text parses into entries that name a recording in Runs/
// itself (no separator in the name) with a three-byte tag, and those entries come back the same
// when written and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "runs/run_library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<RunIndexEntry> entries =
        RunLibrary_ParseIndex(std::string(reinterpret_cast<const char*>(data), size));
    for (const RunIndexEntry& e : entries)
        if (e.tag.size() != 3 || e.file.empty() ||
            e.file.find_first_of("/\\\n") != std::string::npos)
            std::abort();
    std::vector<RunIndexEntry> again = RunLibrary_ParseIndex(RunLibrary_FormatIndex(entries));
    if (again.size() != entries.size()) std::abort();
    for (size_t i = 0; i < entries.size(); i++)
        if (again[i].score != entries[i].score || again[i].tag != entries[i].tag ||
            again[i].file != entries[i].file)
            std::abort();
    return 0;
}
