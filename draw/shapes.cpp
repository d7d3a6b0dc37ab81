// Shapes in the current port.
#include "draw/shapes.h"

#include <windows.h>

#include "draw/current_port.h"

void EraseRect(const PortRect& rect)
{
    const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
    FillRect(GetPort(), &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void FrameRect(const PortRect& rect)
{
    HDC port = GetPort();
    MoveToEx(port, rect.left, rect.top, nullptr);
    ::LineTo(port, rect.right - 1, rect.top);
    ::LineTo(port, rect.right - 1, rect.bottom - 1);
    ::LineTo(port, rect.left, rect.bottom - 1);
    ::LineTo(port, rect.left, rect.top);
}

void DrawOval(const PortRect& rect)
{
    Ellipse(GetPort(), rect.left, rect.top, rect.right, rect.bottom);
}

void PaintRectPolygon(const PortRect& rect)
{
    HDC port = GetPort();
    const POINT corners[4] = {{rect.left, rect.top}, {rect.right, rect.top},
                              {rect.right, rect.bottom}, {rect.left, rect.bottom}};
    HGDIOBJ previousPen = SelectObject(port, GetStockObject(NULL_PEN));
    const int previousMode = SetPolyFillMode(port, WINDING);
    Polygon(port, corners, 4);
    SetPolyFillMode(port, previousMode);
    SelectObject(port, previousPen);
}

void PaintQuad(const PortRect& rect)
{
    PaintRectPolygon(rect);
}

void MoveTo(int32_t x, int32_t y)
{
    MoveToEx(GetPort(), x, y, nullptr);
}

void LineTo(int32_t x, int32_t y)
{
    ::LineTo(GetPort(), x, y);
}

void DrawingNoOp() {}
