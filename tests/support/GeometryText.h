#pragma once
// Comparing and printing rectangles and sizes in test assertions.

#include <windows.h>

#include <ostream>
#include <string>

bool operator==(const RECT& a, const RECT& b);
bool operator==(const SIZE& a, const SIZE& b);
std::ostream& operator<<(std::ostream& out, const RECT& rc);
std::ostream& operator<<(std::ostream& out, const SIZE& size);

// "left,top,right,bottom"
std::string RectText(const RECT& rc);
