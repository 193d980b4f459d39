// The board's HTTP front: GNU libmicrohttpd serves the connections, each bounded in what it may
// cost (its headers' size, its body, its time, how many its address holds), and hands each request
// to the Api.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "server/api.h"
#include "server/client_address.h"

struct FrontOptions {
    int perAddress = 16;                 // connections at a time from one address (an IPv6 /64)
    int connections = 1024;              // connections at a time in all
    double headerSeconds = 10.0;         // from a connection's opening, or its last answer, to its
                                         // next request's headers, whole
    unsigned idleSeconds = 5;            // a connection with nothing sent or taken is closed
    double answerSeconds = 60.0;         // for an answer to be taken by its client
    size_t heldBytes = 32u << 20;        // bodies being received and large answers being sent
    std::vector<Network> trustedProxies; // every player comes through these: counted only in all
};

class Front {
  public:
    Front(Api* api, FrontOptions options);
    ~Front();
    // Listens on host:port (0: any free port) and serves from threads of its own; the port bound,
    // or -1.
    int Listen(const std::string& host, int port);
    // Stops taking connections and ends those open.
    void Stop();

  private:
    struct Door;
    std::unique_ptr<Door> door_;
};
