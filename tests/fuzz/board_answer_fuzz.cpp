// Fuzz target for the game's reader of the board's answers: any status, media type and body is
// read as a verdict, a page, a session and a plain acknowledgement without a throw, and whatever
// is taken holds only what a board can mean, in printable text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/board_answer.h"

namespace {

void MustBePrintable(const std::string& text, size_t most) {
    if (text.size() > most) std::abort();
    for (char c : text)
        if (c < 32 || c > 126) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks the status and the media type; the rest is the body.
    static const int kStatuses[] = {200, 202, 302, 404, 409, 422, 429, 503};
    static const char* const kTypes[] = {"application/json", "text/html", ""};
    HttpAnswer a;
    a.ok = size > 0;
    a.status = size ? kStatuses[data[0] % 8] : 0;
    a.contentType = size ? kTypes[(data[0] >> 3) % 3] : "";
    a.body = size ? std::string((const char*)data + 1, size - 1) : "";
    a.location = a.body.substr(0, 64);
    BoardVerdict v = BoardAnswer_Verdict(a);
    MustBePrintable(v.error, 400);
    MustBePrintable(v.reason, 160);
    if (v.answered && (v.id <= 0 || v.score < 0 || v.worldRank < 0)) std::abort();
    BoardPage page = BoardAnswer_Page(a);
    MustBePrintable(page.error, 400);
    for (const BoardRow& r : page.rows) {
        MustBePrintable(r.player, 16);
        if (r.rank < 1 || r.id < 1 || r.stage < 0 || r.score < 0 || !std::isfinite(r.seconds) ||
            r.seconds < 0)
            std::abort();
    }
    BoardSession s = BoardAnswer_Session(a);
    if (s.answered && s.token.find_first_not_of("0123456789abcdef.") != std::string::npos)
        std::abort();
    MustBePrintable(BoardAnswer_Taken(a), 400);
    return 0;
}
