// The OLE object host window class: each window hosts one OLE object, made
// from the CLSID its creator passes, activated in place over the client area,
// kept at the client area's size and closed when the window goes.
//
// A registrar made during static initialisation initialises OLE on the main
// thread and registers the class for the program's whole run; windows of the
// class, their objects and the lookup state below belong to that thread.
#pragma once

#include <ole2.h>

#include "framework/Afx.h"

class OleHostWindow;

inline constexpr wchar_t kOleHostWindowClassName[] = L"{DC3B23EA-CDEC-49e7-B4F1-6AB2A737CB18}";

// Creates a host window for an object of clsid; null when the window or the
// object could not be made (then nothing is held).
HWND CreateOleHostWindow(REFCLSID clsid, DWORD dwStyle, const RECT& rect, HWND hWndParent,
                         DWORD dwExStyle = 0);

// The record of a host window, or null for any other window. No reference is
// added; the record lives at least until the window's WM_NCDESTROY.
OleHostWindow* OleHostWindowFromHandle(HWND hWnd);

LRESULT CALLBACK OleHostWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
