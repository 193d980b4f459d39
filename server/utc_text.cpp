// strftime on gmtime_r.
#include "server/utc_text.h"

#include <ctime>

std::string UtcText(int64_t seconds, const char* format) {
    time_t t = (time_t)seconds;
    tm utc{};
    gmtime_r(&t, &utc);
    char text[64];
    return std::strftime(text, sizeof text, format, &utc) ? text : "";
}
