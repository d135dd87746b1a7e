#include "util/dpi_win.h"

#include <algorithm>
#include <initializer_list>

#include "util/systemLibrary_win.h"

namespace {
template <typename Function>
Function User32Function(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using ParametersForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
using MetricsForDpiFn = int(WINAPI*)(int, UINT);

const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
const auto getDpiForSystem = User32Function<GetDpiForSystemFn>("GetDpiForSystem");
const auto adjustForDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
const auto parametersForDpi = User32Function<ParametersForDpiFn>("SystemParametersInfoForDpi");
const auto metricsForDpi = User32Function<MetricsForDpiFn>("GetSystemMetricsForDpi");

void ScaleFont(LOGFONTW& font, UINT from, UINT to) {
  font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(to), static_cast<int>(from));
}
}  // namespace

UINT SystemDpi() {
  if (getDpiForSystem) return getDpiForSystem();
  HDC screen = GetDC(nullptr);
  const UINT dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
  ReleaseDC(nullptr, screen);
  return dpi;
}

UINT WindowDpi(HWND window) {
  const UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
  return dpi ? dpi : SystemDpi();
}

SIZE OuterSize(int width, int height, DWORD style, DWORD exStyle, UINT dpi) {
  RECT rect{0, 0, width, height};
  if (adjustForDpi)
    adjustForDpi(&rect, style, FALSE, exStyle, dpi);
  else
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

NONCLIENTMETRICSW NonClientMetrics(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (parametersForDpi &&
      parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
    return metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  const UINT system = SystemDpi();
  for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                         &metrics.lfStatusFont, &metrics.lfMessageFont})
    ScaleFont(*font, system, dpi);
  return metrics;
}

int SystemMetric(int index, UINT dpi) {
  if (metricsForDpi) return metricsForDpi(index, dpi);
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

HICON LoadSystemIcon(LPCWSTR id, int size) {
  // Common controls 6 scale the large system icons down well; older ones do not have it.
  using ScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  static const auto scaleDown = SystemFunction<ScaleDownFn>(L"comctl32.dll", "LoadIconWithScaleDown");
  HICON icon = nullptr;
  if (scaleDown && SUCCEEDED(scaleDown(nullptr, id, size, size, &icon))) return icon;
  return CopyIcon(LoadIconW(nullptr, id));
}

void RedrawWithChildren(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CentreWindow(HWND window, HWND owner) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                        : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY),
                  &monitor);
  const RECT area = monitor.rcWork;
  RECT around = area;
  if (owner) GetWindowRect(owner, &around);
  RECT box;
  GetWindowRect(window, &box);
  const int w = box.right - box.left, h = box.bottom - box.top;
  int x = around.left + (around.right - around.left - w) / 2;
  int y = around.top + (around.bottom - around.top - h) / 2;
  x = std::max<int>(area.left, std::min<int>(x, area.right - w));
  y = std::max<int>(area.top, std::min<int>(y, area.bottom - h));
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
