// A request and its answer as the board's routes see them, whatever library serves the
// connection: the library's glue fills a request (the body read whole, within its route's bound)
// and sends the answer.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using WebFields = std::vector<std::pair<std::string, std::string>>;

struct WebRequest {
    std::string method, path, peer, body;
    WebFields headers;                // names in any case
    WebFields params;                 // the query's values, decoded
    std::vector<std::string> matches; // the path's captured parts, [0] the whole path

    bool HasHeader(const std::string& name) const;
    // The first header of that name, or empty.
    std::string Header(const std::string& name) const;
    // Every line of a list's header (X-Forwarded-For), in order, as one list: HTTP lets a list be
    // sent over several lines of one name, joined by commas.
    std::string HeaderList(const std::string& name) const;
    bool HasParam(const std::string& name) const;
    std::string Param(const std::string& name) const;
    // Content-Length as a number: 0 when absent, UINT64_MAX when it is not a number.
    uint64_t ContentLength() const;
};

struct WebResponse {
    int status = 200;
    WebFields headers;
    std::string body;

    // Sets the header, replacing any of that name.
    void SetHeader(const std::string& name, const std::string& value);
    bool HasHeader(const std::string& name) const;
    std::string Header(const std::string& name) const;
    void SetContent(const std::string& content, const std::string& type);
};

// Serves one range of a whole answer (res, status 200): "bytes=A-B", "bytes=A-" or "bytes=-N"
// makes it 206 with that part, and a range past its end 416. Several ranges, or a range that
// cannot be read, leave the whole answer as it is.
void WebResponse_Range(const std::string& range, WebResponse* res);
