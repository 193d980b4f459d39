// HTTP through WinHTTP, Windows' own client and TLS: no library to ship. Redirects are never
// followed (a request may carry the player's key), and a cancel closes the request's handle, which
// ends the call that waits on it.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <winhttp.h>

#include <mutex>
#include <string>

#include "net/http_cancel.h"
#include "net/http_client.h"

namespace {

std::wstring Wide(const std::string& s) {
    if (s.empty()) return L"";
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), nullptr, 0);
    std::wstring w((size_t)n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), &w[0], n);
    return w;
}

std::string Narrow(const wchar_t* w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? (size_t)n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w, -1, &s[0], n, nullptr, nullptr);
    return s;
}

std::string Plain(DWORD code) {
    switch (code) {
    case ERROR_WINHTTP_CANNOT_CONNECT:
        return "the server cannot be reached";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        return "the server's name is not known";
    case ERROR_WINHTTP_TIMEOUT:
        return "the server did not answer in time";
    default:
        return "the connection failed (WinHTTP error " + std::to_string(code) + ")";
    }
}

// The handles of one request, closed together, or by a cancel from another thread first.
struct Handles {
    std::mutex mutex;
    HINTERNET session = nullptr, connection = nullptr, request = nullptr;
    void Close() {
        std::lock_guard<std::mutex> hold(mutex);
        for (HINTERNET* h : {&request, &connection, &session})
            if (*h) WinHttpCloseHandle(*h), *h = nullptr;
    }
    ~Handles() { Close(); }
};

bool Open(const HttpRequest& r, Handles* h) {
    std::wstring url = Wide(r.url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = (DWORD)-1;
    if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) return false;
    std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength + parts.dwExtraInfoLength);
    h->session = WinHttpOpen(L"ZORB", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, 0);
    if (!h->session) return false;
    int connect = r.connectSeconds * 1000, total = r.totalSeconds * 1000;
    WinHttpSetTimeouts(h->session, connect, connect, total, total);
    h->connection = WinHttpConnect(h->session, host.c_str(), parts.nPort, 0);
    DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    h->request = h->connection ? WinHttpOpenRequest(h->connection, Wide(r.method).c_str(),
                                                    path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                                    WINHTTP_DEFAULT_ACCEPT_TYPES, secure)
                               : nullptr;
    DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    if (h->request)
        WinHttpSetOption(h->request, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);
    return h->request != nullptr;
}

bool Exchange(const HttpRequest& r, HINTERNET request) {
    std::wstring headers;
    for (const auto& h : r.headers)
        headers += Wide(h.first + ": " + h.second + "\r\n");
    if (!r.contentType.empty()) headers += Wide("Content-Type: " + r.contentType + "\r\n");
    return WinHttpSendRequest(
               request, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
               (DWORD)-1L, (void*)r.body.data(), (DWORD)r.body.size(), (DWORD)r.body.size(), 0) &&
           WinHttpReceiveResponse(request, nullptr);
}

// A header's value, or empty.
std::string Header(HINTERNET request, DWORD which) {
    wchar_t value[2048] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    return WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, value, &size,
                               WINHTTP_NO_HEADER_INDEX)
               ? Narrow(value)
               : "";
}

// The status, the content type and the body, up to the request's bound.
bool ReadAnswer(const HttpRequest& r, HINTERNET request, HttpAnswer* a) {
    DWORD status = 0, size = sizeof status;
    WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    a->contentType = Http_MediaType(Header(request, WINHTTP_QUERY_CONTENT_TYPE));
    a->location = Header(request, WINHTTP_QUERY_LOCATION);
    a->status = (int)status;
    for (;;) {
        char buffer[16384];
        DWORD got = 0;
        if (!WinHttpReadData(request, buffer, sizeof buffer, &got)) return false;
        if (got == 0) return true;
        if (a->body.size() + got > r.mostBytes) {
            a->error =
                "the server's answer is larger than " + std::to_string(r.mostBytes) + " bytes";
            return false;
        }
        a->body.append(buffer, got);
    }
}

} // namespace

HttpAnswer Http_Send(const HttpRequest& r) {
    HttpAnswer a;
    if (!Http_IsAddress(r.url)) {
        a.error = "the address is not http:// or https://";
        return a;
    }
    Handles h;
    HttpWaker waker([&h] { h.Close(); });
    bool whole =
        !Http_Cancelled() && Open(r, &h) && Exchange(r, h.request) && ReadAnswer(r, h.request, &a);
    if (!whole || Http_Cancelled()) {
        if (Http_Cancelled())
            a.error = kHttpCancelled;
        else if (a.error.empty())
            a.error = Plain(GetLastError());
        a.body.clear();
        return a;
    }
    a.ok = true;
    return a;
}
