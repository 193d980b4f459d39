// Header names are compared without regard to case, as HTTP has them.
#include "server/web_message.h"

#include <strings.h>

#include <charconv>

namespace {

const std::string* Find(const WebFields& fields, const std::string& name, bool anyCase) {
    for (const auto& [key, value] : fields)
        if (anyCase ? strcasecmp(key.c_str(), name.c_str()) == 0 : key == name) return &value;
    return nullptr;
}

} // namespace

bool WebRequest::HasHeader(const std::string& name) const {
    return Find(headers, name, true) != nullptr;
}

std::string WebRequest::Header(const std::string& name) const {
    const std::string* v = Find(headers, name, true);
    return v ? *v : "";
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
    auto [end, fault] = std::from_chars(text->data(), text->data() + text->size(), n);
    return fault == std::errc() && end == text->data() + text->size() && !text->empty()
               ? n
               : UINT64_MAX;
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
