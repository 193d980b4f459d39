// HTTP through libcurl, on http and https alone. Redirects are never followed: a request may carry
// the player's key, which goes to the board's own address or nowhere. Each transfer runs in a
// multi handle of its own, so that a cancel wakes it at once.
#include <curl/curl.h>

#include <mutex>

#include "net/http_cancel.h"
#include "net/http_client.h"

namespace {

struct Reading {
    std::string* body;
    size_t most;
    bool tooLarge = false;
};

size_t Keep(char* data, size_t size, size_t count, void* user) {
    Reading* r = static_cast<Reading*>(user);
    size_t n = size * count;
    if (r->body->size() + n > r->most) {
        r->tooLarge = true;
        return 0; // ends the transfer
    }
    r->body->append(data, n);
    return n;
}

std::string Plain(CURLcode code, const Reading& reading, const HttpRequest& request) {
    if (reading.tooLarge)
        return "the server's answer is larger than " + std::to_string(request.mostBytes) + " bytes";
    switch (code) {
    case CURLE_COULDNT_CONNECT:
        return "the server cannot be reached";
    case CURLE_COULDNT_RESOLVE_HOST:
        return "the server's name is not known";
    case CURLE_OPERATION_TIMEDOUT:
        return "the server did not answer in time";
    case CURLE_UNSUPPORTED_PROTOCOL:
        return "the address is not http:// or https://";
    default:
        return curl_easy_strerror(code);
    }
}

// Performs the transfer, woken at once by a cancel; its result.
CURLcode Perform(CURL* curl) {
    CURLM* multi = curl_multi_init();
    curl_multi_add_handle(multi, curl);
    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    {
        HttpWaker waker([multi] { curl_multi_wakeup(multi); });
        int running = 1;
        while (running && !Http_Cancelled()) {
            if (curl_multi_perform(multi, &running) != CURLM_OK) break;
            if (running) curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
        }
        int left = 0;
        for (CURLMsg* m = curl_multi_info_read(multi, &left); m;
             m = curl_multi_info_read(multi, &left))
            if (m->msg == CURLMSG_DONE && !running) result = m->data.result;
    }
    curl_multi_remove_handle(multi, curl);
    curl_multi_cleanup(multi);
    return result;
}

} // namespace

HttpAnswer Http_Send(const HttpRequest& request) {
    static std::once_flag started;
    std::call_once(started, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    HttpAnswer answer;
    if (!Http_IsAddress(request.url)) {
        answer.error = "the address is not http:// or https://";
        return answer;
    }
    CURL* curl = curl_easy_init();
    curl_slist* headers = nullptr;
    for (const auto& h : request.headers)
        headers = curl_slist_append(headers, (h.first + ": " + h.second).c_str());
    if (!request.contentType.empty())
        headers = curl_slist_append(headers, ("Content-Type: " + request.contentType).c_str());
    headers = curl_slist_append(headers, "Expect:"); // no 100-continue round trip
    Reading reading{&answer.body, request.mostBytes};
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, (long)request.connectSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, (long)request.totalSeconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Keep);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reading);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "ZORB");
    if (request.method == "POST") {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, (curl_off_t)request.body.size());
    }
    CURLcode code = Perform(curl);
    if (code == CURLE_OK) {
        long status = 0;
        char *type = nullptr, *location = nullptr;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type);
        curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &location);
        answer.ok = true;
        answer.status = (int)status;
        answer.contentType = Http_MediaType(type ? type : "");
        answer.location = location ? location : "";
    } else {
        answer.error = Http_Cancelled() ? kHttpCancelled : Plain(code, reading, request);
        answer.body.clear();
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return answer;
}
