// The server's secrets and fingerprints: SHA-256 of a run's bytes, HMAC-signed session tokens,
// random keys, and comparisons that take the same time whatever the bytes.
#pragma once

#include <cstdint>
#include <string>

// The SHA-256 of the bytes, as 64 lower-case hex digits.
std::string Crypto_Sha256Hex(const std::string& bytes);
// HMAC-SHA-256 of message under key, as 64 lower-case hex digits.
std::string Crypto_HmacHex(const std::string& key, const std::string& message);
// This many random bytes from the system's generator, as hex; empty if it failed.
std::string Crypto_RandomHex(int bytes);
// Whether a and b hold the same bytes, in time that depends only on their lengths.
bool Crypto_Same(const std::string& a, const std::string& b);
// Whether text is exactly n hex digits.
bool Crypto_IsHex(const std::string& text, size_t n);
