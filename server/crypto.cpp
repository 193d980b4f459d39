// Fingerprints and secrets through OpenSSL's libcrypto.
#include "server/crypto.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <vector>

namespace {

std::string Hex(const unsigned char* bytes, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out(n * 2, '0');
    for (size_t i = 0; i < n; i++) {
        out[2 * i] = digits[bytes[i] >> 4];
        out[2 * i + 1] = digits[bytes[i] & 15];
    }
    return out;
}

} // namespace

std::string Crypto_Sha256Hex(const std::string& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int n = 0;
    if (!EVP_Digest(bytes.data(), bytes.size(), digest, &n, EVP_sha256(), nullptr)) return "";
    return Hex(digest, n);
}

std::string Crypto_HmacHex(const std::string& key, const std::string& message) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int n = 0;
    if (!HMAC(EVP_sha256(), key.data(), (int)key.size(),
              reinterpret_cast<const unsigned char*>(message.data()), message.size(), digest, &n))
        return "";
    return Hex(digest, n);
}

std::string Crypto_RandomHex(int bytes) {
    std::vector<unsigned char> raw((size_t)bytes);
    if (bytes <= 0 || RAND_bytes(raw.data(), bytes) != 1) return "";
    return Hex(raw.data(), raw.size());
}

bool Crypto_Same(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    return CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

bool Crypto_IsHex(const std::string& text, size_t n) {
    if (text.size() != n) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}
