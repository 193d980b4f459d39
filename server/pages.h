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
// The board at / : its rows from offset, the counts of waiting and rejected runs, and whether
// more rows follow.
std::string Html_Board(const std::vector<RunRow>& rows, int64_t offset, bool more,
                       const BoardCounts& counts);
// A run's own page.
std::string Html_Run(const RunRow& run);
// A page for a run that is not there, or another fault.
std::string Html_Missing(const std::string& what);
