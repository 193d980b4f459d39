// Parsing zorb-server's arguments.
#include "server/server_options.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>

const char* const kServerUsage =
    "usage: zorb-server [serve] [--listen HOST:PORT] [--data DIR] [--database URL]\n"
    "                   [--workers N] [--headless PATH] [--uploads-a-minute N] [--lease S]\n"
    "                   [--reads-a-minute N] [--body-seconds S] [--trust-proxy ADDR[/BITS]]...\n"
    "                   [--review-top N] [--db-connections N]\n"
    "       zorb-server worker [--data DIR] [--database URL] [--headless PATH] [--lease S]\n"
    "                   [--review-top N]\n"
    "       zorb-server hide ID [--reason TEXT] | unhide ID | list --waiting | review |\n"
    "                   approve ID   [--data DIR] [--database URL]\n"
    "ZORB's world board: takes recorded runs over HTTP, replays each in a worker, and ranks\n"
    "only those that play back to their score.\n"
    "serve       answers the API and the pages (default: 127.0.0.1:8080) and starts N\n"
    "            verification workers itself (default: one a core; 0 for none)\n"
    "worker      verifies waiting runs until stopped, beside servers on the same database\n"
    "hide ID     takes a run off the board, its page saying the reason (unhide puts it back);\n"
    "            list --waiting lists the queue\n"
    "review      lists the runs waiting for review, with the figures to judge them by; approve ID\n"
    "            puts one on its boards (hide ID --reason TEXT keeps it off)\n"
    "--review-top N  a ranked run that would enter the top N of all time or of today waits for\n"
    "            review, off the boards (0: none); kept in the board, for every server and worker\n"
    "            on it until given again (a new board: 0)\n"
    "--data      the folder of the SQLite database and the replays' scratch files\n"
    "            (default: $XDG_DATA_HOME/zorb-server)\n"
    "--database  postgresql://USER@HOST:PORT/NAME to share one database between machines\n"
    "--headless  the zorb-headless that replays runs (default: the one beside zorb-server)\n"
    "--uploads-a-minute  uploads taken from one address, and with one player's key, in a minute\n"
    "            (default 20); a minute's session opens and ends are three times this\n"
    "--reads-a-minute  pages, API answers and downloads for one address in a minute (default 600)\n"
    "--body-seconds  the longest a request's body may take to arrive, however steadily it comes\n"
    "            (default 30)\n"
    "--trust-proxy  a reverse proxy (an address or a network) whose X-Forwarded-For names the\n"
    "            client; may be given again. Without it, X-Forwarded-For is ignored\n"
    "--lease     seconds a worker's claim on a run lasts unrenewed (default 30): a worker that\n"
    "            dies lets its run go to another after this\n"
    "--db-connections  the most database connections the server keeps (default 20); a request\n"
    "            that finds them all busy for 2 s is answered 503\n";

namespace {

bool NeedsValue(const char* name) {
    for (const char* n : {"--listen", "--data", "--database", "--headless", "--workers",
                          "--uploads-a-minute", "--lease", "--reads-a-minute", "--trust-proxy",
                          "--body-seconds", "--review-top", "--reason", "--db-connections"})
        if (std::strcmp(name, n) == 0) return true;
    return false;
}

bool Option(ServerOptions* o, const std::string& name, const std::string& value, std::string* why) {
    if (name == "--listen") o->listen = value;
    if (name == "--data") o->data = value;
    if (name == "--database") o->database = value;
    if (name == "--headless") o->headless = value;
    if (name == "--reason") o->reason = value;
    if (name == "--trust-proxy") {
        Network proxy;
        if (!Network_Parse(value, &proxy)) {
            *why = "--trust-proxy takes an address or ADDRESS/BITS, not '" + value + "'";
            return false;
        }
        o->trustedProxies.push_back(proxy);
    }
    struct Count {
        const char* name;
        int* into;
        long lowest, highest;
    };
    const Count counts[] = {{"--workers", &o->workers, 0, 256},
                            {"--uploads-a-minute", &o->uploadsAMinute, 1, 1000000},
                            {"--reads-a-minute", &o->readsAMinute, 1, 100000000},
                            {"--body-seconds", &o->bodySeconds, 1, 3600},
                            {"--lease", &o->leaseSeconds, 2, 3600},
                            {"--review-top", &o->reviewTop, 0, 1000},
                            {"--db-connections", &o->dbConnections, 1, 1000}};
    for (const Count& c : counts) {
        if (name != c.name) continue;
        char* end = nullptr;
        long n = std::strtol(value.c_str(), &end, 10);
        if (*end || value.empty() || n < c.lowest || n > c.highest) {
            *why = name + " takes " + std::to_string(c.lowest) + " to " + std::to_string(c.highest);
            return false;
        }
        *c.into = (int)n;
    }
    return true;
}

bool Command(ServerOptions* o, const std::string& word, int* expectId, std::string* why) {
    if (word == "serve" || word == "worker" || word == "list" || word == "review")
        o->command = word;
    else if (word == "hide" || word == "unhide" || word == "approve") {
        o->command = word;
        *expectId = 1;
    } else if (word == "--waiting" && o->command == "list") {
    } else {
        *why = "unknown argument '" + word + "'";
        return false;
    }
    return true;
}

} // namespace

bool ServerOptions_Parse(int argc, char** argv, ServerOptions* o, std::string* why) {
    int expectId = 0;
    for (int k = 1; k < argc; k++) {
        std::string a = argv[k];
        if (a == "--help" || a == "-h")
            o->help = true;
        else if (NeedsValue(argv[k])) {
            if (k + 1 >= argc) return *why = a + " needs a value", false;
            if (!Option(o, a, argv[++k], why)) return false;
        } else if (expectId == 1) {
            char* end = nullptr;
            o->runId = std::strtoll(a.c_str(), &end, 10);
            if (*end || a.empty() || o->runId <= 0)
                return *why = "'" + a + "' is not a run's id", false;
            expectId = 2;
        } else if (!Command(o, a, &expectId, why))
            return false;
    }
    if (expectId == 1) return *why = o->command + " needs a run's id", false;
    std::string host;
    int port = 0;
    if (!ServerOptions_SplitListen(o->listen, &host, &port))
        return *why = "--listen takes HOST:PORT, not '" + o->listen + "'", false;
    return true;
}

std::string ServerOptions_DataFolder(const ServerOptions& o) {
    if (!o.data.empty()) return o.data;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/zorb-server";
    const char* home = std::getenv("HOME");
    return std::string(home && home[0] ? home : ".") + "/.local/share/zorb-server";
}

std::string ServerOptions_Database(const ServerOptions& o) {
    return o.database.empty() ? ServerOptions_DataFolder(o) + "/board.sqlite" : o.database;
}

std::string ServerOptions_Headless(const ServerOptions& o) {
    if (!o.headless.empty()) return o.headless;
    char self[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, (size_t)n) : "";
    dir = dir.substr(0, dir.rfind('/') + 1);
    if (!dir.empty() && access((dir + "zorb-headless").c_str(), X_OK) == 0)
        return dir + "zorb-headless";
    return "/usr/games/zorb-headless";
}

bool ServerOptions_SplitListen(const std::string& listen, std::string* host, int* port) {
    size_t colon = listen.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    char* end = nullptr;
    std::string digits = listen.substr(colon + 1);
    long p = std::strtol(digits.c_str(), &end, 10);
    if (digits.empty() || *end || p < 0 || p > 65535) return false;
    *host = listen.substr(0, colon);
    *port = (int)p;
    return true;
}
