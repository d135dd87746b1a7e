// Per-monitor DPI and window placement at the Win32 boundary. The program declares itself
// PerMonitorV2 aware; the DPI functions of Windows 10 are looked up at run time so that the
// program still starts on Windows 7 and 8, where the system DPI is the only one.
#pragma once
#include <windows.h>

UINT SystemDpi();
// The DPI of the window's monitor (the system DPI before Windows 10).
UINT WindowDpi(HWND window);

// A length in pixels at 96 DPI, at dpi.
inline int Scaled(int length96, UINT dpi) { return MulDiv(length96, static_cast<int>(dpi), 96); }

// The outer size of a window of the given style whose client area is width × height.
SIZE OuterSize(int width, int height, DWORD style, DWORD exStyle, UINT dpi);
// The system's fonts and metrics for dpi (the message font is the one of message boxes).
NONCLIENTMETRICSW NonClientMetrics(UINT dpi);
int SystemMetric(int index, UINT dpi);
// A system icon (IDI_WARNING, ...) drawn for size × size pixels; destroy it with
// DestroyIcon.
HICON LoadSystemIcon(LPCWSTR id, int size);

// Repaints the window and its children whole, backgrounds included: after a DPI change
// the children have new fonts (set without redrawing) and places, and a parent that clips
// its children does not pass its own repaint on to them.
void RedrawWithChildren(HWND window);

// Centres the window over its owner, or on the work area of the primary monitor when it
// has none; always within the work area.
void CentreWindow(HWND window, HWND owner);
