// Header names are compared without regard to case, as HTTP has them.
#include "server/web_message.h"

#include <strings.h>

#include <algorithm>
#include <charconv>

namespace {

const std::string* Find(const WebFields& fields, const std::string& name, bool anyCase) {
    for (const auto& [key, value] : fields)
        if (anyCase ? strcasecmp(key.c_str(), name.c_str()) == 0 : key == name) return &value;
    return nullptr;
}

// A whole number of digits only (none: false).
bool Digits(const std::string& text, uint64_t* n) {
    auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), *n);
    return !text.empty() && fault == std::errc() && end == text.data() + text.size();
}

} // namespace

bool WebRequest::HasHeader(const std::string& name) const {
    return Find(headers, name, true) != nullptr;
}

std::string WebRequest::Header(const std::string& name) const {
    const std::string* v = Find(headers, name, true);
    return v ? *v : "";
}

std::string WebRequest::HeaderList(const std::string& name) const {
    std::string list;
    for (const auto& [key, value] : headers)
        if (strcasecmp(key.c_str(), name.c_str()) == 0) list += (list.empty() ? "" : ", ") + value;
    return list;
}

bool WebRequest::HasParam(const std::string& name) const {
    return Find(params, name, false) != nullptr;
}

std::string WebRequest::Param(const std::string& name) const {
    const std::string* v = Find(params, name, false);
    return v ? *v : "";
}

uint64_t WebRequest::ContentLength() const {
    const std::string* text = Find(headers, "Content-Length", true);
    if (!text) return 0;
    uint64_t n = 0;
    return Digits(*text, &n) ? n : UINT64_MAX;
}

void WebResponse::SetHeader(const std::string& name, const std::string& value) {
    for (auto it = headers.begin(); it != headers.end();)
        it = strcasecmp(it->first.c_str(), name.c_str()) == 0 ? headers.erase(it) : it + 1;
    headers.emplace_back(name, value);
}

bool WebResponse::HasHeader(const std::string& name) const {
    return Find(headers, name, true) != nullptr;
}

std::string WebResponse::Header(const std::string& name) const {
    const std::string* v = Find(headers, name, true);
    return v ? *v : "";
}

void WebResponse::SetContent(const std::string& content, const std::string& type) {
    body = content;
    SetHeader("Content-Type", type);
}

void WebResponse_Range(const std::string& range, WebResponse* res) {
    const std::string unit = "bytes=";
    if (range.rfind(unit, 0) != 0 || range.find(',') != std::string::npos) return;
    std::string asked = range.substr(unit.size());
    size_t dash = asked.find('-');
    if (dash == std::string::npos) return;
    std::string from = asked.substr(0, dash), to = asked.substr(dash + 1);
    uint64_t size = res->body.size(), first = 0, last = size ? size - 1 : 0, n = 0;
    if (from.empty()) { // the last n bytes
        if (!Digits(to, &n) || n == 0) return;
        first = n >= size ? 0 : size - n;
    } else if (!Digits(from, &first) || (!to.empty() && (!Digits(to, &n) || n < first))) {
        return;
    } else if (!to.empty()) {
        last = std::min(n, last);
    }
    // Built by appending: g++ 12 warns falsely (-Wrestrict) on a literal + a temporary string.
    std::string answered = "bytes ";
    if (first >= size) {
        res->status = 416;
        res->SetHeader("Content-Range", answered.append("*/").append(std::to_string(size)));
        res->body.clear();
        return;
    }
    res->status = 206;
    answered.append(std::to_string(first)).append("-").append(std::to_string(last));
    res->SetHeader("Content-Range", answered.append("/").append(std::to_string(size)));
    res->body = res->body.substr(first, last - first + 1);
}
