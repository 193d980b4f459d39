// A time as text on the UTC clock, for the pages and the daily board's days.
#pragma once

#include <cstdint>
#include <string>

// seconds since 1970 written with strftime's format, in UTC.
std::string UtcText(int64_t seconds, const char* format);
