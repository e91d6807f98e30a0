#pragma once
// The two percent-encodings of the web-service protocol; every byte that is
// encoded becomes "%" and two upper-case hexadecimal digits.
#include <string>
#include <string_view>

// Parameter values: keeps 0-9, a-z, A-Z, "-", "_" and "."; a space becomes "+".
std::string UrlEncode(std::string_view text);

// Download URLs: keeps 0-9, a-z, A-Z and "/", ".", ":", "?", "=", "-", so that a
// URL's separators survive; a space becomes "%20".
std::string UrlEncodePath(std::string_view text);
