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
    // A list sent over several lines is one list, in order (a proxy appends to the last).
    WebRequest forwarded;
    forwarded.headers = {
        {"X-Forwarded-For", "1.1.1.1, 2.2.2.2"}, {"Host", "board"}, {"x-forwarded-for", "3.3.3.3"}};
    EXPECT_EQ(forwarded.HeaderList("X-Forwarded-For"), "1.1.1.1, 2.2.2.2, 3.3.3.3");
    EXPECT_EQ(none.HeaderList("X-Forwarded-For"), "");
    WebResponse res;
    res.SetHeader("Cache-Control", "max-age=10");
    res.SetHeader("cache-control", "no-store");
    ASSERT_EQ(res.headers.size(), 1u);
    EXPECT_EQ(res.Header("CACHE-CONTROL"), "no-store");
}

// One range is served from a whole answer; several, or one that cannot be read, leave it whole (an
// answer many times the file's size cannot be asked for), and one past the end is 416.
TEST(WebMessageTest, OneRangeIsServedAndNoMore) {
    const struct {
        const char* range;
        int status;
        const char* body;
        const char* contentRange;
    } cases[] = {
        {"bytes=0-3", 206, "0123", "bytes 0-3/10"},
        {"bytes=7-", 206, "789", "bytes 7-9/10"},
        {"bytes=-2", 206, "89", "bytes 8-9/10"},
        {"bytes=-20", 206, "0123456789", "bytes 0-9/10"},
        {"bytes=5-100", 206, "56789", "bytes 5-9/10"},
        {"bytes=10-", 416, "", "bytes */10"},
        {"bytes=0-,0-", 200, "0123456789", ""},
        {"bytes=0-1, 3-4", 200, "0123456789", ""},
        {"bytes=4-2", 200, "0123456789", ""},
        {"bytes=x-2", 200, "0123456789", ""},
        {"bytes=-0", 200, "0123456789", ""},
        {"items=0-3", 200, "0123456789", ""},
        {"", 200, "0123456789", ""},
    };
    for (const auto& c : cases) {
        WebResponse res;
        res.body = "0123456789";
        WebResponse_Range(c.range, &res);
        EXPECT_EQ(res.status, c.status) << c.range;
        EXPECT_EQ(res.body, c.body) << c.range;
        EXPECT_EQ(res.Header("Content-Range"), c.contentRange) << c.range;
    }
}
