#include "GeometryText.h"

bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

bool operator==(const SIZE& a, const SIZE& b) { return a.cx == b.cx && a.cy == b.cy; }

std::ostream& operator<<(std::ostream& out, const RECT& rc)
{
    return out << "{" << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom << "}";
}

std::ostream& operator<<(std::ostream& out, const SIZE& size) { return out << "{" << size.cx << "," << size.cy << "}"; }

std::string RectText(const RECT& rc)
{
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) + "," +
           std::to_string(rc.bottom);
}
