// Fuzz target for the board's check of an upload: any bytes are taken or refused with a reason,
// and a run taken is a whole recording of this game whose figures can be ranked.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "server/upload_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UploadFacts facts;
    std::string why;
    const int64_t now = 1800000000;
    if (!Upload_Check(std::string((const char*)data, size), now, &facts, &why)) {
        if (why.empty()) std::abort();
        return 0;
    }
    if (facts.header.simVersion != kRunSimVersion || facts.header.date > now + 300 ||
        facts.end.frames > kUploadMostFrames || !std::isfinite(facts.gameSeconds) ||
        facts.gameSeconds < 0 || facts.gameSeconds > facts.end.frames * QL_MAX_DT + 1e-3 ||
        !std::isfinite(facts.lostSeconds) || facts.lostSeconds < 0)
        std::abort();
    return 0;
}
