// Writing generated files.
#include "tools/assetgen/output.h"

#include <cstdio>
#include <filesystem>

bool Output_ReadFile(const std::string& path, std::vector<unsigned char>* bytes) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bytes->clear();
    unsigned char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes->insert(bytes->end(), buf, buf + n);
    std::fclose(f);
    return true;
}

bool Output_Write(const std::string& root, const std::string& relative,
                  const std::vector<unsigned char>& bytes) {
    std::filesystem::path path = std::filesystem::path(root) / relative;
    std::vector<unsigned char> old;
    if (Output_ReadFile(path.string(), &old) && old == bytes) return true;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    FILE* f = std::fopen(path.string().c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
