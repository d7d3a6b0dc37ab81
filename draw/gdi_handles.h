// The system's graphics handle types, declared exactly as the platform headers declare them,
// so that the drawing layer's headers also build where those headers do not exist.
#pragma once

struct HDC__;
struct HBITMAP__;
struct HBRUSH__;
struct HPEN__;
struct HFONT__;
struct HPALETTE__;
struct HRGN__;
struct HWND__;

typedef HDC__* HDC;
typedef HBITMAP__* HBITMAP;
typedef HBRUSH__* HBRUSH;
typedef HPEN__* HPEN;
typedef HFONT__* HFONT;
typedef HPALETTE__* HPALETTE;
typedef HRGN__* HRGN;
typedef HWND__* HWND;
