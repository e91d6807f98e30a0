#pragma once
// Facts about the machine from which the client id is made.
#include <string>

// Processor identification leaf 1 as 16 upper-case hexadecimal digits: EDX, then EAX.
std::string GetCpuId();

// "XX-XX-XX-XX-XX-XX" of the adapter with the smallest interface index among those
// with a 6-byte hardware address; empty when there is none.
std::string GetMacAddress();

// Windows version from the file version of the system's ntdll.dll (falling back to
// the system's version query, which gives build 0). Returns the build number.
int GetOsVersion(int& major, int& minor);

// Windows 8 (6.2) or later.
bool IsWin8OrLater();
