#pragma once

#include <cstddef>
#include <memory>
#include <string>

// Deciphers an XXTEA block whose last word holds the plaintext length. Returns
// the plaintext followed by one zero byte and sets plainLength, or returns null
// and sets plainLength to 0 when the block is not valid. Only the first 16 key
// bytes count; a shorter key is padded with zero bytes.
std::unique_ptr<unsigned char[]> XxteaDecrypt(const void* data, size_t length, const void* key, size_t keyLength,
                                              size_t& plainLength);

// Base64 text of an XXTEA block -> its plaintext up to the first zero byte;
// every failure gives the empty string.
std::string DecryptText(const std::string& text, const std::string& key);
