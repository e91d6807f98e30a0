#pragma once

#include <string>

// Standard base64 with "=" padding.
std::string Base64Encode(const void* data, int length);

// Decodes up to the first "=" or the first character outside the alphabet;
// a trailing group of 2 or 3 characters gives 1 or 2 bytes, a lone one none.
std::string Base64Decode(const std::string& text);
