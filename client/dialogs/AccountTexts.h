#pragma once
// What the account windows share of their input checks and the registry.

#include <string>

// True when every character is one of 0-9 (an empty text too).
bool IsAllDigits(const std::wstring& text);

// Marks in the client's key that the signed-in user has set a password: a
// value named by the user id with "1". A failed write changes nothing.
void RememberPasswordSet();
