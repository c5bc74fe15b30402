// Export switch and the plain geometry types every interface of the library passes by value.
#pragma once

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
#include <gdiplus.h>

#ifdef OVRIX_BUILDING_LIBRARY
#define OVRIX_API __declspec(dllexport)
#else
#define OVRIX_API __declspec(dllimport)
#endif

namespace Ovrix {

// Right and bottom are exclusive, as in RECT; the base type lets a CRect go wherever a RECT pointer is taken.
struct CRect : RECT {
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(LONG l, LONG t, LONG r, LONG b) : RECT{l, t, r, b} {}
    CRect(const RECT& rect) : RECT(rect) {}

    LONG Width() const { return right - left; }
    LONG Height() const { return bottom - top; }
    BOOL IsRectEmpty() const { return right <= left || bottom <= top; }
    BOOL PtInRect(POINT point) const {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }
    // Both empty-aware, like the system calls they stand for.
    BOOL Intersects(const RECT& other) const {
        RECT out;
        return ::IntersectRect(&out, this, &other);
    }
    CRect United(const RECT& other) const {
        RECT out;
        ::UnionRect(&out, this, &other);
        return CRect(out);
    }
    void OffsetRect(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    bool operator==(const CRect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

struct CPoint : POINT {
    CPoint() : POINT{0, 0} {}
    CPoint(LONG px, LONG py) : POINT{px, py} {}
    CPoint(const POINT& point) : POINT(point) {}
    bool operator==(const CPoint& other) const { return x == other.x && y == other.y; }
};

struct CSize : SIZE {
    CSize() : SIZE{0, 0} {}
    CSize(LONG width, LONG height) : SIZE{width, height} {}
    CSize(const SIZE& size) : SIZE(size) {}
    bool operator==(const CSize& other) const { return cx == other.cx && cy == other.cy; }
};

class MObject;
class MWindow;
class MControl;
class PaintManager;

} // namespace Ovrix
