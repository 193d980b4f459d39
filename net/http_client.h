// The game's one way to talk to a server over HTTP or HTTPS: a request made and its answer read
// whole, with bounds on time and size, called from a worker thread, never the frame loop. libcurl
// on Linux, WinHTTP (the system's own TLS) on Windows.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

struct HttpRequest {
    std::string url;            // http:// or https://
    std::string method = "GET"; // GET or POST
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;            // sent with POST
    std::string contentType;     // the body's
    size_t mostBytes = 1u << 20; // a longer answer is refused
    int connectSeconds = 5;
    int totalSeconds = 15;
};

struct HttpAnswer {
    bool ok = false; // an answer came, whatever its status
    int status = 0;
    std::string body;
    std::string contentType; // in small letters, without its parameters: "application/json"
    std::string location;    // where a redirect points (redirects are never followed)
    std::string error;       // why no answer came, said plainly
};

HttpAnswer Http_Send(const HttpRequest& request);
// Ends every transfer in flight at once, and refuses new ones, as the game closes: each ends with
// kHttpCancelled as its error. Http_Resume lets transfers go again.
void Http_CancelAll();
void Http_Resume();
extern const char* const kHttpCancelled;
// Waits between requests (asking after a verdict, say); false, at once, when cancelled.
bool Http_Wait(int milliseconds);
// Whether url is an http:// or https:// address with a host, of printable characters alone.
bool Http_IsAddress(const std::string& url);
// A Content-Type header's media type: without parameters or spaces, in small letters.
std::string Http_MediaType(const std::string& header);
