// Header names are compared without regard to case, as HTTP has them.
#include "server/http_message.h"

#include <strings.h>

#include <charconv>

namespace {

const std::string* Find(const HttpFields& fields, const std::string& name, bool anyCase) {
    for (const auto& [key, value] : fields)
        if (anyCase ? strcasecmp(key.c_str(), name.c_str()) == 0 : key == name) return &value;
    return nullptr;
}

} // namespace

bool HttpRequest::HasHeader(const std::string& name) const {
    return Find(headers, name, true) != nullptr;
}

std::string HttpRequest::Header(const std::string& name) const {
    const std::string* v = Find(headers, name, true);
    return v ? *v : "";
}

bool HttpRequest::HasParam(const std::string& name) const {
    return Find(params, name, false) != nullptr;
}

std::string HttpRequest::Param(const std::string& name) const {
    const std::string* v = Find(params, name, false);
    return v ? *v : "";
}

uint64_t HttpRequest::ContentLength() const {
    const std::string* text = Find(headers, "Content-Length", true);
    if (!text) return 0;
    uint64_t n = 0;
    auto [end, fault] = std::from_chars(text->data(), text->data() + text->size(), n);
    return fault == std::errc() && end == text->data() + text->size() && !text->empty()
               ? n
               : UINT64_MAX;
}

void HttpResponse::SetHeader(const std::string& name, const std::string& value) {
    for (auto it = headers.begin(); it != headers.end();)
        it = strcasecmp(it->first.c_str(), name.c_str()) == 0 ? headers.erase(it) : it + 1;
    headers.emplace_back(name, value);
}

bool HttpResponse::HasHeader(const std::string& name) const {
    return Find(headers, name, true) != nullptr;
}

std::string HttpResponse::Header(const std::string& name) const {
    const std::string* v = Find(headers, name, true);
    return v ? *v : "";
}

void HttpResponse::SetContent(const std::string& content, const std::string& type) {
    body = content;
    SetHeader("Content-Type", type);
}
