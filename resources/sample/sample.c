/* The sample application of the payload (and, built with SAMPLE_UNINSTALL, its
   uninstaller): a plain window that stays open until the user closes it. The setup
   program carries it as data and only needs it to be a real, running program. */
#include <windows.h>

#ifdef SAMPLE_UNINSTALL
#define SAMPLE_CAPTION L"D\u00e9sinstallation Orvelin"
#define SAMPLE_TEXT L"Programme de d\u00e9sinstallation d'Orvelin"
#else
#define SAMPLE_CAPTION L"Orvelin"
#define SAMPLE_TEXT L"Orvelin : planification des chantiers"
#endif

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      RECT area;
      HDC dc = BeginPaint(window, &paint);
      GetClientRect(window, &area);
      SetBkMode(dc, TRANSPARENT);
      DrawTextW(dc, SAMPLE_TEXT, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
  WNDCLASSW windowClass = {0};
  HWND window;
  MSG message;
  (void)previous;
  (void)commandLine;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
  windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
  windowClass.lpszClassName = L"OrvelinSampleWindow";
  RegisterClassW(&windowClass);
  window = CreateWindowExW(0, windowClass.lpszClassName, SAMPLE_CAPTION, WS_OVERLAPPEDWINDOW,
                           CW_USEDEFAULT, CW_USEDEFAULT, 480, 240, NULL, NULL, instance, NULL);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);
  while (GetMessageW(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return (int)message.wParam;
}
