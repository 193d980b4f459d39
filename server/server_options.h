// zorb-server's command line: what to do, and where.
#pragma once

#include <string>
#include <vector>

#include "server/client_address.h"

struct ServerOptions {
    std::string command = "serve"; // serve, worker, hide, unhide, list, review, approve
    std::string listen = "127.0.0.1:8080";
    std::string data;        // the data folder (the SQLite file and the replays' scratch)
    std::string database;    // postgresql://... ; empty: the SQLite file in data
    std::string headless;    // zorb-headless, to replay runs with
    int workers = -1;        // workers the server starts itself; -1: one a core
    int uploadsAMinute = 20; // from one address, and with one key
    int readsAMinute = 600;  // pages, API answers and downloads, from one address
    int bodySeconds = 30;    // the longest a request's body may take to arrive
    std::vector<Network> trustedProxies; // --trust-proxy: whose X-Forwarded-For is believed
    int leaseSeconds = 30;               // a worker's claim on a run, renewed while it verifies
    int dbConnections = 20;              // the most database connections this process keeps
    long long runId = 0;                 // hide, unhide, approve
    std::string reason;                  // hide --reason: shown on the run's page
    // A ranked run entering the top N waits for review (0: none); kept in the board, -1 when not
    // given (the board's own then holds).
    int reviewTop = -1;
    bool help = false;
};

extern const char* const kServerUsage;

// Parses argv; false with the reason for a usage error.
bool ServerOptions_Parse(int argc, char** argv, ServerOptions* o, std::string* why);
// The data folder: --data, else $XDG_DATA_HOME/zorb-server, else ~/.local/share/zorb-server.
std::string ServerOptions_DataFolder(const ServerOptions& o);
// Where the database is: --database, else the SQLite file in the data folder.
std::string ServerOptions_Database(const ServerOptions& o);
// zorb-headless: --headless, else the one beside this program, else the installed one.
std::string ServerOptions_Headless(const ServerOptions& o);
// Splits HOST:PORT; false when it is not one.
bool ServerOptions_SplitListen(const std::string& listen, std::string* host, int* port);
