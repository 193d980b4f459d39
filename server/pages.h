// The board's web pages, made on the server as plain HTML: no script, readable in a text browser
// and at a phone's width, every player's text escaped.
#pragma once

#include <string>
#include <vector>

#include "server/run_store.h"

// Text made safe to stand anywhere in HTML, attributes included.
std::string Html_Escape(const std::string& text);
// "3:05" for 185 seconds.
std::string Html_Length(double seconds);
// Where a page of the board stands: its first row, whether more follow, which board (all, today,
// open or bots) and its day (today's board's).
struct BoardPlace {
    int64_t offset = 0;
    bool more = false;
    std::string board = "all", day;
};
// A whole page around body, titled.
std::string Html_Page(const std::string& title, const std::string& body);
// "2026-12-10 14:05 UTC", or "-" for no time.
std::string Html_Date(int64_t seconds);
// Text made safe to stand in a URL's path: every byte but letters, digits and -._~ as %XX.
std::string Html_UrlPart(const std::string& text);
// A link to a player's page, their name as its text.
std::string Html_PlayerLink(const std::string& name);
// A board at / (all time) or /?board=today, open or bots: its rows, the counts of waiting and
// rejected runs.
std::string Html_Board(const std::vector<RunRow>& rows, const BoardPlace& place,
                       const BoardCounts& counts);
// A run's own page, with its story's part of the page (empty when it has none yet).
std::string Html_Run(const RunRow& run, const std::string& story = "");
// A page that refuses a request with status, saying what went wrong: titled "not found" for a
// 404, and by its kind for the others.
std::string Html_Refusal(int status, const std::string& what);
// The pages' one stylesheet, served at /style.css (the pages hold no inline style, so that their
// Content-Security-Policy can allow styles from the board alone).
const char* Html_Style();
