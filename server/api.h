// The board's HTTP side: the API under /api/v1 and the web pages, on cpp-httplib.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "server/client_address.h"
#include "server/run_store.h"

namespace httplib {
class Server;
}

struct ApiOptions {
    int uploadsAMinute = 20;   // by address and by key; session opens and ends, three times this
    int readsAMinute = 600;    // by address
    double bodySeconds = 30.0; // the longest a body may take to arrive
    std::vector<Network> trustedProxies;
};

// Routes every path of the board on http. accepting, once false, turns uploads away (503) while
// reads go on answering.
void Api_Install(httplib::Server* http, RunStore* store, const ApiOptions& options,
                 const std::atomic<bool>* accepting);
// Bounds the server's threads, its queue of connections and their lifetimes: no keep-alive, so
// that a refused body is never read as the next request, and a pool large enough that idle
// connections cannot starve it.
void Api_Harden(httplib::Server* http);
// Binds http to host:port (0: any free port) with a listening queue of the system's largest, not
// the library's 5, so that a burst of connections is not dropped to the clients' SYN retries.
// The port bound, or -1.
int Api_Bind(httplib::Server* http, const std::string& host, int port);
