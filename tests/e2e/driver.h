// The end-to-end driver: runs Setup_Orvelin.exe as a separate process and acts on its
// windows as a user would, through the window system only. Windows are found by caption,
// controls by their IDs (ui/controlIds.h); clicks are the controls' own click messages,
// so a disabled or hidden control cannot be pressed.
//
// Waiting is bounded: every wait polls until a limit and then reports failure, so a
// broken program fails a test instead of hanging it.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Where the program and the screenshot folder are; set from the command line.
struct DriverSettings {
  std::u16string Program;
  std::u16string Screenshots;
  std::u16string Payload;  // the folders Resource_1 and Resource_2 that the program carries
  // A program with the same Resource_3, read for the captions instead of Program: one
  // whose image is too large to be mapped once more into the driver (the 1 GB payload).
  std::u16string VersionOf;
};
DriverSettings& Settings();

// "Installation Orvelin " + the payload's version (first line of the program's resource
// Resource_3): the caption of the welcome, folder-choice and install pages.
std::u16string InstallCaption();

inline constexpr DWORD kWaitLimit = 20000;  // ms

// A started program, run as the shell runs it (a link file starts its target), in the
// given working folder. Ended if still running when the object goes.
class Process {
public:
  Process(const std::u16string& file, const std::u16string& arguments,
          const std::u16string& folder);
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool Started() const { return process_ != nullptr; }
  DWORD Id() const { return id_; }
  // The exit code, or nothing when the program is still running at the limit.
  std::optional<DWORD> WaitExit(DWORD limit = kWaitLimit);
  // Loads a library of the tests into the running program, by a thread of its own that
  // calls LoadLibraryW; true once it is loaded.
  bool Load(const std::u16string& library);

  // WaitExit, watching meanwhile for visible top-level windows of the process.
  struct Ending {
    std::optional<DWORD> ExitCode;
    std::vector<std::u16string> CaptionsSeen;  // of every window seen, once each
    bool AnyWindow = false;                    // a top-level window, shown or hidden
    bool Saw(const std::u16string& caption) const;
  };
  Ending WatchUntilExit(DWORD limit = kWaitLimit);

private:
  void Start(const std::u16string& file, const std::u16string& arguments,
             const std::u16string& folder);

  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// A started Setup_Orvelin.exe, in a working folder of its own.
class SetupProcess : public Process {
public:
  explicit SetupProcess(const std::u16string& arguments = u"");
  // The folder the program starts in: its current directory.
  static std::u16string WorkFolder();
};

// True when condition() holds before the limit; it is asked again every 50 ms.
bool WaitUntil(const std::function<bool()>& condition, DWORD limit = kWaitLimit);

// The visible top-level windows of the process.
std::vector<HWND> VisibleWindows(DWORD processId);
// The visible top-level window of the process with exactly this caption.
HWND WaitForWindow(DWORD processId, const std::u16string& caption, DWORD limit = kWaitLimit);
// True when the window is gone or hidden before the limit.
bool WaitUntilGone(HWND window, DWORD limit = kWaitLimit);
// Presses the button of a message box (found by title) with this caption and waits until
// the box has gone; returns the box's message, or nothing when no such box or button
// appears.
std::optional<std::u16string> AnswerBox(DWORD processId, const std::u16string& title,
                                        const std::u16string& button, DWORD limit = kWaitLimit);

// The close box of the window's title bar, as a user presses it.
void PressCloseBox(HWND window);

// The system's folder picker (found by title): types path as the chosen folder and
// confirms, or cancels when path is empty; false when no picker appears or it stays.
bool AnswerFolderPicker(DWORD processId, const std::u16string& title, const std::u16string& path,
                        DWORD limit = kWaitLimit);

HWND Control(HWND window, int id);
// Clicks a control; false (and nothing happens) when it is disabled or hidden.
bool Click(HWND control);
// The same click, without waiting for its handler: for a button that opens a page or a
// message box, whose handler returns only when that closes.
bool Press(HWND control);
std::u16string TextOf(HWND window);
// The text that the window system holds for the window, read without asking the window:
// it answers also while its program is busy in a long handler.
std::u16string HeldTextOf(HWND window);
bool IsChecked(HWND control);
bool IsEnabled(HWND control);
bool IsShown(HWND control);

// The active window and the window with the keyboard focus in the thread of a window.
struct InputState {
  HWND Active = nullptr;
  HWND Focus = nullptr;
};
InputState InputStateOf(HWND window);

// The window's child windows, in their order (the keyboard order of the controls).
std::vector<HWND> Children(HWND window);

// The name that a screen reader gives the control, read through Active Accessibility:
// its label's text for a field, its own text for a button; "<none>" when the control
// offers no accessible object.
std::u16string AccessibleName(HWND control);

// Where the window is on the screen (its frame's top-left corner), and moving it there
// as a user's drag does.
POINT Position(HWND window);
void MoveTo(HWND window, POINT place);
inline bool operator==(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }
inline std::ostream& operator<<(std::ostream& out, POINT p) {
  return out << "(" << p.x << ", " << p.y << ")";
}

// A message box as a user sees it: its title, its message, its buttons in their order
// and the one that Enter presses.
struct BoxContent {
  std::u16string Title, Message;
  std::vector<std::u16string> Buttons;
  std::u16string DefaultButton;
};
BoxContent ReadBox(HWND box);

UINT DpiOf(HWND window);
// A control's rectangle in its window's client area, brought back to 96 DPI.
RECT RectAt96(HWND control);
SIZE ClientSizeAt96(HWND window);

inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
  return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

// What a window shows on the screen, frame included, taken once it has stopped changing
// (painting is asynchronous). Its parts are read by the windows that they show.
class Snapshot {
public:
  explicit Snapshot(HWND window);
  ~Snapshot();
  Snapshot(const Snapshot&) = delete;
  Snapshot& operator=(const Snapshot&) = delete;

  // Saves it to the screenshot folder as page-<DPI>dpi.png ("welcome-96dpi.png").
  bool Save(const std::u16string& page) const;

  // True when a pixel of the area (in the shown window's pixels) is dark as text is:
  // ink where the area should be clear.
  bool InkIn(HWND shown, const RECT& area) const;

  // The strongest colour that a shown window holds, by hue: the look of a message box's
  // icon (warning yellow, error red, information blue).
  enum class Hue { None, Yellow, Red, Blue };
  Hue HueOf(HWND shown) const;

  // The longest row of ink (text-dark pixels, side by side) in a shown window: the width
  // of an underline under a text, a few pixels where there is none.
  int LongestInkRow(HWND shown) const;

  // The colour at a point of a shown window's client area, given at 96 DPI.
  COLORREF ColourAt(HWND shown, POINT at96) const;
  // How many pixels of a shown window have this colour, each of red, green and blue
  // within tolerance of it.
  int PixelsOf(HWND shown, COLORREF colour, int tolerance = 0) const;

private:
  // The colour at (x, y) of a window shown in the snapshot, in that window's pixels.
  COLORREF PixelOf(HWND shown, int x, int y) const;

  RECT area_{};  // on the screen
  UINT dpi_ = 96;
  HBITMAP bitmap_ = nullptr;
  std::vector<BYTE> bits_;  // 32-bit BGRX rows, top down
};

// Saves the window as it is on the screen to the screenshot folder; false when it cannot.
bool SaveScreenshot(HWND window, const std::u16string& page);

// Windows without a caption, the keyboard and the month calendar.
//
// The visible top-level window of the process with this window class name.
HWND WaitForWindowOfClass(DWORD processId, const std::u16string& className,
                          DWORD limit = kWaitLimit);
// The control that has the keyboard focus in the window's thread.
HWND FocusOf(HWND window);
// Keys as a user types them, to the control with the keyboard focus in the window (waited
// for): characters, or one key pressed and released (VK_RETURN, VK_ESCAPE, ...). They
// arrive through the program's event loop, after this returns.
void TypeText(HWND window, const std::u16string& text);
void PressKey(HWND window, UINT key);
// A left click at a point of the control's client area.
void ClickAt(HWND control, POINT point);
// Sends a message whose lParam points to size bytes of data, placed in the receiving
// process's memory for the call and copied back after it (the month calendar's
// MCM_HITTEST, MCM_GETCURSEL, ...).
LRESULT SendWithData(HWND window, UINT message, WPARAM wParam, void* data, std::size_t size);
