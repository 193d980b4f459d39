// cpp-httplib's requests and answers, turned into the board's own and back.
#include "server/http_front.h"

#include <httplib.h>
#include <sys/socket.h>

#include <chrono>
#include <memory>

#include "server/bounded_pool.h"
#include "server/upload_check.h"

namespace {

double Clock() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// The request's headers, query and peer (not its body).
WebRequest Take(const httplib::Request& req) {
    WebRequest r;
    r.method = req.method;
    r.path = req.path;
    r.peer = req.remote_addr;
    r.headers.assign(req.headers.begin(), req.headers.end());
    r.params.assign(req.params.begin(), req.params.end());
    return r;
}

void Give(const WebResponse& from, httplib::Response& res) {
    // A plain 200 is left for the library to set: it makes it 206 for a range it serves.
    if (from.status != 200) res.status = from.status;
    std::string type;
    for (const auto& [name, value] : from.headers)
        if (name == "Content-Type")
            type = value;
        else
            res.set_header(name, value);
    res.set_content(from.body, type.empty() ? "text/plain" : type);
}

// The body, read with its route's bound and cut off at its deadline however steadily it comes;
// false when it did not arrive whole in time.
bool ReadBody(const httplib::ContentReader& reader, size_t most, double seconds,
              std::string* body) {
    double deadline = Clock() + seconds;
    return reader([&](const char* data, size_t n) {
        body->append(data, n);
        return body->size() <= most && Clock() < deadline;
    });
}

} // namespace

void Front_Install(httplib::Server* http, Api* api) {
    http->set_pre_routing_handler([api](const httplib::Request& req, httplib::Response& res) {
        WebResponse early;
        if (!api->Early(Take(req), &early)) return httplib::Server::HandlerResponse::Unhandled;
        Give(early, res);
        return httplib::Server::HandlerResponse::Handled;
    });
    auto answer = [api](const httplib::Request& req, httplib::Response& res) {
        WebRequest r = Take(req);
        WebResponse out;
        api->Answer(r, &out);
        Give(out, res);
    };
    // One range at most: several (the library would answer each, however many) get the whole
    // file.
    http->Get(".*", [answer](const httplib::Request& req, httplib::Response& res) {
        if (req.ranges.size() > 1) const_cast<httplib::Request&>(req).ranges.clear();
        answer(req, res);
    });
    http->Post(".*", [api](const httplib::Request& req, httplib::Response& res,
                           const httplib::ContentReader& reader) {
        WebRequest r = Take(req);
        WebResponse out;
        if (ReadBody(reader, api->MostBody(r), api->BodySeconds(), &r.body))
            api->Answer(r, &out);
        else
            api->BodyLate(r, &out);
        Give(out, res);
    });
    for (auto route : {&httplib::Server::Put, &httplib::Server::Delete, &httplib::Server::Options})
        (http->*route)(".*", answer);
    http->set_exception_handler(
        [api](const httplib::Request& req, httplib::Response& res, std::exception_ptr fault) {
            std::string what = "unknown";
            try {
                std::rethrow_exception(fault);
            } catch (const std::exception& e) {
                what = e.what();
            } catch (...) {
            }
            WebResponse out;
            api->Failed(Take(req), &out, what);
            res.headers.clear();
            Give(out, res);
        });
    http->set_error_handler([api](const httplib::Request& req, httplib::Response& res) {
        WebResponse out;
        out.status = res.status;
        out.body = res.body;
        api->Refused(Take(req), &out);
        if (res.body.empty()) Give(out, res);
    });
    http->set_post_routing_handler([api](const httplib::Request&, httplib::Response& res) {
        WebResponse out;
        out.headers.assign(res.headers.begin(), res.headers.end());
        api->Finish(&out);
        for (const auto& [name, value] : out.headers)
            if (!res.has_header(name)) res.set_header(name, value);
    });
}

int Front_Bind(httplib::Server* http, const std::string& host, int port) {
    auto listening = std::make_shared<int>(-1);
    http->set_socket_options([listening](int fd) {
        int yes = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        *listening = fd;
    });
    int bound =
        port == 0 ? http->bind_to_any_port(host) : (http->bind_to_port(host, port) ? port : -1);
    if (bound >= 0 && *listening >= 0) listen(*listening, SOMAXCONN);
    return bound;
}

void Front_Harden(httplib::Server* http) {
    http->new_task_queue = [] { return new BoundedPool(128, 512); };
    http->set_keep_alive_max_count(1);
    http->set_keep_alive_timeout(2);
    http->set_read_timeout(5, 0);
    http->set_write_timeout(5, 0);
    http->set_payload_max_length(kUploadMostBytes);
}
