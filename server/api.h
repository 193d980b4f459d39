// The board's side of HTTP: the API under /api/v1 and the web pages, on whatever library serves
// the connections (server/http_front.h glues it to one). A request is judged on its headers first
// (the limits, and the body its route takes), then answered whole.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "server/client_address.h"
#include "server/run_store.h"
#include "server/web_message.h"

struct ApiOptions {
    int uploadsAMinute = 20;   // by address and by key; session opens and ends, three times this
    int readsAMinute = 600;    // by address
    double bodySeconds = 30.0; // the longest a body may take to arrive
    std::vector<Network> trustedProxies;
};

class Api {
  public:
    // accepting, once false, turns uploads away (503) while reads go on answering.
    Api(RunStore* store, const ApiOptions& options, const std::atomic<bool>* accepting);
    ~Api();
    // Before a byte of the body is read: true when the request is answered already (refused).
    bool Early(const WebRequest& req, WebResponse* res);
    // The most body the request's route takes, and how long a body may take to arrive.
    size_t MostBody(const WebRequest& req) const;
    double BodySeconds() const;
    // The answer to a whole request (its body read); its path's parts are kept in req.matches.
    void Answer(WebRequest& req, WebResponse* res);
    // The answer when serving req failed (what is logged, never told).
    void Failed(const WebRequest& req, WebResponse* res, const std::string& what) const;
    // Words for a refusal the front makes on its own: a request line (414) or headers (431) past
    // their bounds, or no room to hold a body or an answer now (503).
    void Refused(const WebRequest& req, WebResponse* res) const;
    // What every answer carries: the rules for its type, its keeping and, for pages, their content.
    void Finish(WebResponse* res) const;

  private:
    struct Board;
    std::unique_ptr<Board> board_;
};
