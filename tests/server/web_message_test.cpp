#include "server/web_message.h"

#include <gtest/gtest.h>

#include <cstdint>

// Header names match in any case, and a length that is not a plain number is never read as a small
// one (it would let a body past its route's bound).
TEST(WebMessageTest, HeadersMatchInAnyCaseAndLengthsAreReadStrictly) {
    const std::pair<const char*, uint64_t> lengths[] = {
        {"0", 0},
        {"4096", 4096},
        {"", UINT64_MAX},
        {"12abc", UINT64_MAX},
        {"-1", UINT64_MAX},
        {" 5", UINT64_MAX},
        {"99999999999999999999999", UINT64_MAX},
    };
    for (const auto& [text, length] : lengths) {
        WebRequest r;
        r.headers = {{"content-length", text}};
        EXPECT_EQ(r.ContentLength(), length) << "'" << text << "'";
    }
    WebRequest none;
    EXPECT_EQ(none.ContentLength(), 0u);
    WebResponse res;
    res.SetHeader("Cache-Control", "max-age=10");
    res.SetHeader("cache-control", "no-store");
    ASSERT_EQ(res.headers.size(), 1u);
    EXPECT_EQ(res.Header("CACHE-CONTROL"), "no-store");
}
