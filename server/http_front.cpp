// libmicrohttpd's connections and requests, turned into the board's own and back. Each connection
// has a thread of its own (a slow client holds only its own), and costs at most its header pool,
// its body (within its route's bound, and all bodies within the held budget) and its deadlines.
#include "server/http_front.h"

#include <arpa/inet.h>
#include <malloc.h>
#include <microhttpd.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "server/connection_gate.h"

namespace {

constexpr size_t kMostLineBytes = 8 * 1024;  // the request line, and each header line
constexpr size_t kMostHeadBytes = 32 * 1024; // the request line and every header line
constexpr int kMostHeaderLines = 100;
// Each connection's pool holds its request line and headers, and the body's pieces as they come:
// room for a whole head of the most bytes, so that the board answers it in its own words.
constexpr size_t kConnectionPoolBytes = kMostHeadBytes + 16 * 1024;
// Answers this large draw on the held budget while their clients take them.
constexpr size_t kHeldAnswerBytes = 64 * 1024;

double Clock() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string AddressText(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address && address->sa_family == AF_INET)
        inet_ntop(AF_INET, &((const sockaddr_in*)address)->sin_addr, text, sizeof text);
    else if (address && address->sa_family == AF_INET6)
        inet_ntop(AF_INET6, &((const sockaddr_in6*)address)->sin6_addr, text, sizeof text);
    return text;
}

// Bytes the server holds for bodies and answers at once, shared by every connection.
class ByteBudget {
  public:
    explicit ByteBudget(size_t most) : left_(most) {}
    bool Take(size_t n) {
        std::lock_guard<std::mutex> hold(mutex_);
        if (n > left_) return false;
        left_ -= n;
        return true;
    }
    void Give(size_t n) {
        std::lock_guard<std::mutex> hold(mutex_);
        left_ += n;
    }

  private:
    std::mutex mutex_;
    size_t left_;
};

// An answer's bytes, kept until the library has sent them.
struct Held {
    std::string body;
    ByteBudget* budget = nullptr;
    size_t taken = 0;
};

void FreeHeld(void* cls) {
    auto* held = static_cast<Held*>(cls);
    if (held->budget) held->budget->Give(held->taken);
    delete held;
}

// A request between its headers and its answer.
struct Pending {
    WebRequest req;
    double bodyBy = 0.0; // the whole body by then, or the connection goes
    size_t most = 0;     // what the route takes
    size_t taken = 0;    // drawn on the held budget for the body
};

MHD_Result AddField(void* cls, MHD_ValueKind, const char* key, const char* value) {
    static_cast<WebFields*>(cls)->emplace_back(key ? key : "", value ? value : "");
    return MHD_YES;
}

// The status for a request line or headers past their bounds, or 0.
int HeadFault(const WebRequest& req) {
    size_t line = req.method.size() + req.path.size() + 10, head = 0;
    for (const auto& [key, value] : req.params)
        line += key.size() + value.size() + 2;
    if (line > kMostLineBytes) return 414;
    for (const auto& [name, value] : req.headers) {
        size_t n = name.size() + value.size() + 4;
        if (n > kMostLineBytes) return 431;
        head += n;
    }
    return req.headers.size() > (size_t)kMostHeaderLines || line + head > kMostHeadBytes ? 431 : 0;
}

} // namespace

struct Front::Door {
    Door(Api* a, FrontOptions o)
        : api(a), options(std::move(o)), gate(options.perAddress, options.connections),
          budget(options.heldBytes), clients(options.trustedProxies) {}

    Api* api;
    FrontOptions options;
    ConnectionGate gate;
    ByteBudget budget;
    ClientAddress clients;
    MHD_Daemon* daemon = nullptr;
    std::thread watchdog;
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::atomic<int> leftSinceTrim{0};

    // The key a connection from address is counted under.
    std::string KeyOf(const sockaddr* address) const {
        std::string text = AddressText(address);
        return clients.Trusted(text) ? "" : ClientAddress::LimitKey(text);
    }

    static MHD_Result Admit(void* cls, const sockaddr* address, socklen_t) {
        auto* door = static_cast<Door*>(cls);
        return door->gate.MayEnter(door->KeyOf(address)) ? MHD_YES : MHD_NO;
    }

    // Connections are counted in and out. The library admits and starts connections on its one
    // listening thread, so none comes in between a check and its count.
    static void Notice(void* cls, MHD_Connection* c, void**, MHD_ConnectionNotificationCode code) {
        auto* door = static_cast<Door*>(cls);
        if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
            door->gate.Leave(c);
            door->leftSinceTrim++;
            return;
        }
        const auto* address = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
        const auto* fd = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CONNECTION_FD);
        if (!address || !fd) return;
        door->gate.Enter(c, door->KeyOf(address->client_addr), fd->connect_fd,
                         Clock() + door->options.headerSeconds);
    }

    static WebRequest Take(MHD_Connection* c, const char* url, const char* method) {
        WebRequest r;
        r.method = std::strcmp(method, "HEAD") == 0 ? "GET" : method; // the library sends no body
        r.path = url;
        const auto* address = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
        r.peer = AddressText(address ? address->client_addr : nullptr);
        MHD_get_connection_values(c, MHD_HEADER_KIND, AddField, &r.headers);
        MHD_get_connection_values(c, MHD_GET_ARGUMENT_KIND, AddField, &r.params);
        return r;
    }

    // Queues the answer; the library closes the connection after it when the request's body was
    // never read.
    MHD_Result Send(MHD_Connection* c, const WebRequest& req, WebResponse out) {
        auto* held = new Held;
        if (out.body.size() >= kHeldAnswerBytes) {
            if (budget.Take(out.body.size())) {
                held->budget = &budget;
                held->taken = out.body.size();
            } else {
                out = WebResponse();
                out.status = 503;
                api->Refused(req, &out);
            }
        }
        api->Finish(&out);
        held->body = std::move(out.body);
        MHD_Response* r = MHD_create_response_from_buffer_with_free_callback_cls(
            held->body.size(), held->body.data(), FreeHeld, held);
        for (const auto& [name, value] : out.headers)
            MHD_add_response_header(r, name.c_str(), value.c_str());
        MHD_Result queued = MHD_queue_response(c, (unsigned)out.status, r);
        MHD_destroy_response(r);
        return queued;
    }

    // The headers are whole: judged on them before a byte of the body is read.
    MHD_Result Begin(MHD_Connection* c, const char* url, const char* method, void** slot) {
        auto* p = new Pending;
        *slot = p;
        p->req = Take(c, url, method);
        double now = Clock();
        p->bodyBy = now + api->BodySeconds();
        gate.Move(c, p->bodyBy + options.answerSeconds);
        WebResponse early;
        if (int status = HeadFault(p->req)) {
            early.status = status;
            api->Refused(p->req, &early);
            return Send(c, p->req, early);
        }
        if (api->Early(p->req, &early)) return Send(c, p->req, early);
        p->most = api->MostBody(p->req);
        size_t length = (size_t)p->req.ContentLength(); // within most: Early saw to it
        if (length > 0 && !budget.Take(length)) {
            early.status = 503;
            api->Refused(p->req, &early);
            return Send(c, p->req, early);
        }
        p->taken = length;
        p->req.body.reserve(length);
        return MHD_YES;
    }

    MHD_Result Answer(MHD_Connection* c, Pending* p) {
        WebResponse out;
        try {
            api->Answer(p->req, &out);
        } catch (...) {
            api->Failed(p->req, &out, "an exception of no standard kind");
        }
        if (out.status == 200 && out.Header("Accept-Ranges") == "bytes")
            WebResponse_Range(p->req.Header("Range"), &out);
        return Send(c, p->req, std::move(out));
    }

    static MHD_Result Handle(void* cls, MHD_Connection* c, const char* url, const char* method,
                             const char*, const char* data, size_t* size, void** slot) {
        auto* door = static_cast<Door*>(cls);
        auto* p = static_cast<Pending*>(*slot);
        if (!p) return door->Begin(c, url, method, slot);
        if (*size == 0) return door->Answer(c, p);
        // A body that trickles past its deadline, or runs past its route's bound, ends its
        // connection: the library cannot answer in the middle of one.
        if (Clock() > p->bodyBy || p->req.body.size() + *size > p->most) return MHD_NO;
        p->req.body.append(data, *size);
        *size = 0;
        return MHD_YES;
    }

    // A request is done (answered, or its connection gone): its body's bytes go back, and the
    // connection's next headers are due.
    static void Done(void* cls, MHD_Connection* c, void** slot, MHD_RequestTerminationCode) {
        auto* door = static_cast<Door*>(cls);
        auto* p = static_cast<Pending*>(*slot);
        *slot = nullptr;
        if (!p) return;
        door->budget.Give(p->taken);
        delete p;
        door->gate.Move(c, Clock() + door->options.headerSeconds);
    }

    // Cuts off connections past their deadlines, and gives memory freed by closed ones back to
    // the system (the threads' heaps keep it otherwise).
    void Watch() {
        std::unique_lock<std::mutex> hold(mutex);
        double trimmed = Clock();
        while (!wake.wait_for(hold, std::chrono::milliseconds(200), [&] { return stopping; })) {
            gate.CutOverdue(Clock());
            if (leftSinceTrim > 0 && Clock() - trimmed > 2.0) {
                leftSinceTrim = 0;
                trimmed = Clock();
                malloc_trim(0);
            }
        }
    }
};

namespace {

// A listening socket on host:port with the system's longest queue, so that a burst of connections
// is not dropped to the clients' retries; -1 when it cannot be had.
int OpenListener(const std::string& host, int port, int* bound) {
    addrinfo hints{}, *found = nullptr;
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    if (getaddrinfo(host.empty() ? nullptr : host.c_str(), std::to_string(port).c_str(), &hints,
                    &found) != 0)
        return -1;
    int fd = -1;
    for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
        fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        int yes = 1;
        if (fd >= 0) setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (fd >= 0 && (bind(fd, a->ai_addr, a->ai_addrlen) != 0 || listen(fd, SOMAXCONN) != 0)) {
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    sockaddr_storage at{};
    socklen_t size = sizeof at;
    if (fd >= 0 && getsockname(fd, (sockaddr*)&at, &size) == 0)
        *bound = ntohs(at.ss_family == AF_INET6 ? ((sockaddr_in6*)&at)->sin6_port
                                                : ((sockaddr_in*)&at)->sin_port);
    return fd;
}

} // namespace

Front::Front(Api* api, FrontOptions options)
    : door_(std::make_unique<Door>(api, std::move(options))) {}

Front::~Front() {
    Stop();
}

int Front::Listen(const std::string& host, int port) {
    int bound = -1, fd = OpenListener(host, port, &bound);
    if (fd < 0) return -1;
    Door* d = door_.get();
    // The library's own count is set above the gate's, so that the gate refuses first and at
    // once, rather than the library leaving new connections queued behind slow ones.
    d->daemon = MHD_start_daemon(
        MHD_USE_THREAD_PER_CONNECTION | MHD_USE_POLL_INTERNAL_THREAD, 0, &Door::Admit, d,
        &Door::Handle, d, MHD_OPTION_LISTEN_SOCKET, fd, MHD_OPTION_CONNECTION_LIMIT,
        (unsigned)(d->options.connections + 64), MHD_OPTION_CONNECTION_MEMORY_LIMIT,
        kConnectionPoolBytes, MHD_OPTION_CONNECTION_TIMEOUT, d->options.idleSeconds,
        MHD_OPTION_STRICT_FOR_CLIENT, 1, MHD_OPTION_NOTIFY_CONNECTION, &Door::Notice, d,
        MHD_OPTION_NOTIFY_COMPLETED, &Door::Done, d, MHD_OPTION_END);
    if (!d->daemon) {
        close(fd);
        return -1;
    }
    d->watchdog = std::thread([d] { d->Watch(); });
    return bound;
}

void Front::Stop() {
    Door* d = door_.get();
    if (!d->daemon) return;
    {
        std::lock_guard<std::mutex> hold(d->mutex);
        d->stopping = true;
    }
    d->wake.notify_all();
    d->watchdog.join();
    MHD_stop_daemon(d->daemon);
    d->daemon = nullptr;
}
