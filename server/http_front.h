// The board's HTTP front: cpp-httplib serves the connections and hands each request to the Api.
#pragma once

#include <string>

#include "server/api.h"

namespace httplib {
class Server;
}

// Hands every request on http to api: judged on its headers before its body is read, its body
// read within the route's bound and deadline, then answered.
void Front_Install(httplib::Server* http, Api* api);
// Bounds the server's threads, its queue of connections and their lifetimes: no keep-alive, so
// that a refused body is never read as the next request, and a pool large enough that idle
// connections cannot starve it.
void Front_Harden(httplib::Server* http);
// Binds http to host:port (0: any free port) with a listening queue of the system's largest, not
// the library's 5, so that a burst of connections is not dropped to the clients' SYN retries.
// The port bound, or -1.
int Front_Bind(httplib::Server* http, const std::string& host, int port);
