// The thin window layer of the setup program's pages, on raw Win32.
//
// A page is a Form built from a table: the painted shapes (picture, rectangles, lines)
// and the controls, with positions and sizes in client pixels at 96 DPI that the form
// scales to the DPI of its monitor. The form dispatches the window's events to the
// handlers that a page overrides (FormCreate, FormShow, FormClose, FormDestroy, Click,
// Change, DateSelected, Timer). An exception that escapes a handler is shown in an error
// box and the program goes on, as with any GUI toolkit's default error handler.
//
// The pages have colours of their own (black text on white, a grey band); when the user
// turns high contrast on they take the system's colours instead, the banner picture
// excepted, and they follow the system's colours as they change.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
inline constexpr COLORREF kDarkGrey = RGB(0xA9, 0xA9, 0xA9);
inline constexpr COLORREF kLightGrey = RGB(0xD3, 0xD3, 0xD3);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);

struct FontSpec {
  int Size = 12;  // pixels at 96 DPI: 12 is Segoe UI's 9 points
  int Weight = FW_NORMAL;
  bool Underline = false;
  bool operator==(const FontSpec&) const = default;
};
inline constexpr FontSpec kSemiBold13{13, FW_SEMIBOLD, false};
inline constexpr FontSpec kUnderlined{12, FW_NORMAL, true};

enum class ControlKind {
  Label,
  Button,
  CheckBox,
  RadioButton,    // one group with the radio buttons right before it
  Edit,           // read-only
  WritableEdit,
  FolderButton,   // a faded flat button showing an open folder; its text names it
  MonthCalendar,  // the system's month calendar; a picked day comes to DateSelected
};
enum class LabelAlign { Left, Centre };

struct ControlSpec {
  int Id;
  ControlKind Kind;
  int X, Y, Width, Height;
  std::u16string_view Text;
  FontSpec Font = {};
  LabelAlign Align = LabelAlign::Centre;  // labels
  bool Checked = false;                 // check boxes and radio buttons
  bool Default = false;                 // the push button that Enter presses
};

enum class ShapeKind { Picture, Rectangle };

struct ShapeSpec {
  ShapeKind Kind;
  int X, Y, Width, Height;
  COLORREF Fill = kWhite;       // rectangles
  double Border = 0;            // border width at 96 DPI; 0: none
  COLORREF BorderColour = kBlack;
  // The system colours (COLOR_...) that stand for Fill and BorderColour in high contrast;
  // what stands on a COLOR_BTNFACE fill takes COLOR_BTNTEXT, on any other COLOR_WINDOWTEXT.
  int SystemFill = COLOR_WINDOW;
  int SystemBorder = COLOR_WINDOWTEXT;
};

struct PageLayout {
  std::u16string_view Caption;            // the design caption
  int ClientWidth, ClientHeight;          // at 96 DPI
  std::span<const ShapeSpec> Shapes;      // painted in this order, under the controls
  std::span<const ControlSpec> Controls;  // created in this order, the keyboard order
  bool TitleBar = true;                   // false: a bare frame, no caption, no close box
  bool StayOnTop = false;                 // above the other programs' windows
};

// A control's place in client pixels at 96 DPI.
struct ControlBounds {
  int X, Y, Width, Height;
};

// What the pages have in common: the banner picture on the left, the dark-grey line and
// the grey band that holds the buttons.
inline constexpr COLORREF kBandGrey = RGB(0xE6, 0xE6, 0xE6);
inline constexpr ShapeSpec kLine1{ShapeKind::Rectangle, 0, 319, 641, 1, kDarkGrey, 0, kBlack,
                                  COLOR_WINDOWTEXT};
inline constexpr ShapeSpec kButtonBand{ShapeKind::Rectangle, 0, 320, 576, 69, kBandGrey, 0, kBlack,
                                       COLOR_BTNFACE};
inline constexpr ShapeSpec Banner(int height) { return {ShapeKind::Picture, -8, -16, 203, height}; }
// The framed panel that holds the check boxes of the install and uninstall pages.
inline constexpr ShapeSpec CheckBoxPanel(int x, int y, int width, int height) {
  return {ShapeKind::Rectangle, x, y, width, height, RGB(0xFA, 0xFA, 0xFA), 1.5, kLightGrey};
}

// The page-chaining callbacks that a page holds: they close or move its opener.
using ClosePrevCallback = std::function<void()>;
using SetPrevPosCallback = std::function<void(int left, int top)>;

class Form {
public:
  explicit Form(const PageLayout& layout);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // The window with its controls, hidden; then FormCreate.
  void Create();
  // FormDestroy; then the window goes.
  void Destroy();

  // Makes the window visible; FormShow runs first, each time it becomes visible.
  void Show();
  void Hide();
  bool Visible() const { return visible_; }
  // Shows the window and runs the events until it is closed.
  void ShowModal();
  // FormClose, then the window hides. Shown modally, the showing ends with it as soon
  // as control returns to the showing's event loop. The main window's close ends the
  // program.
  void Close();

  int Left() const;
  int Top() const;
  void SetLeft(int left);
  void SetTop(int top);
  void SetCaption(std::u16string_view caption);
  // Centres the window on the work area of the primary monitor.
  void CentreOnWorkArea();
  HWND Handle() const { return window_; }

protected:
  virtual void FormCreate() {}
  virtual void FormShow() {}
  virtual void FormClose() {}
  virtual void FormDestroy() {}
  virtual void Click(int /*id*/) {}   // a button was pressed
  virtual void Change(int /*id*/) {}  // a check box was ticked or unticked
  virtual void DateSelected(int /*id*/, const SYSTEMTIME& /*date*/) {}  // a day was picked
  virtual void Timer(int /*id*/) {}

  // The application's main window: closing it ends the program.
  void MakeMain() { main_ = true; }

  // Opening a page in this window's place: the page appears where this window is, this
  // window hides and waits until the page closes, then shows again if showAgain.
  void OpenPage(Form& page, bool showAgain = true);

  std::u16string Text(int id) const;
  void SetText(int id, std::u16string_view text);
  bool Checked(int id) const;
  void SetChecked(int id, bool checked);
  void SetEnabled(int id, bool enabled);
  void SetVisible(int id, bool visible);
  // A control's place and the client width at 96 DPI, instead of the table's; they hold
  // at every DPI.
  void SetBounds(int id, const ControlBounds& bounds);
  void SetClientWidth(int width);
  // Gives the control the keyboard focus (now, or when the window is next activated); an
  // edit field gets its whole text selected, so that typing replaces it.
  void Focus(int id);
  // The date that a month calendar shows and selects.
  void SetDate(int id, const SYSTEMTIME& date);
  // A timer whose handler runs every interval milliseconds until it is stopped.
  void StartTimer(int id, UINT interval);
  void StopTimer(int id);

private:
  struct Control {
    const ControlSpec* Spec;
    HWND Window;
    const ShapeSpec* Under;  // the shape that it stands on; null: the page
    ControlBounds Bounds;
  };
  struct Colours {
    COLORREF Back, Text;
  };

  static void RegisterWindowClass();
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Command(int id, int code, HWND control);
  void Notify(const NMHDR& header);
  HBRUSH ControlColours(HWND control, HDC dc);
  Colours ColoursOf(const Control* control) const;
  COLORREF FillOf(const ShapeSpec* shape) const;
  void FollowSystemColours();
  void Activate(bool active);
  // The chosen option of the radio group that holds control; control itself when it is
  // no option or none of its group is chosen.
  HWND ChosenOption(HWND control) const;
  const Control* Find(int id) const;
  const Control* Find(HWND window) const;
  Control* Find(int id);
  HWND Item(int id) const;
  void Resize();
  void CreateControls();
  void ApplyDpi(UINT dpi);
  RECT Place(const Control& control);
  void WidenToText(RECT& rect, const ControlSpec& spec);
  void FitCalendar(HWND calendar, const RECT& box, FontSpec font);
  RECT Scaled(int x, int y, int width, int height) const;
  HFONT Font(const FontSpec& spec);
  HBRUSH Brush(COLORREF colour);
  void Paint(HDC dc);
  void DrawFolderButton(const DRAWITEMSTRUCT& item);
  void ReleaseGdi();

  const PageLayout& layout_;
  const DWORD style_;
  const DWORD exStyle_;
  HWND window_ = nullptr;
  UINT dpi_ = 96;
  int clientWidth_;
  std::vector<Control> controls_;
  std::vector<std::pair<FontSpec, HFONT>> fonts_;
  std::vector<std::pair<COLORREF, HBRUSH>> brushes_;
  HBITMAP banner_ = nullptr;  // the picture at the current DPI, made when first painted
  HWND focus_ = nullptr;      // the control that had the focus when the window deactivated
  int defaultId_ = 0;
  bool highContrast_ = false;  // the system's colours instead of ours
  bool visible_ = false;
  bool main_ = false;
  bool modal_ = false;
  bool closeRequested_ = false;  // during a modal showing
  bool ended_ = false;           // the main window was closed: the program is ending
};

// Destroys a form the way its opener does: FormDestroy, then the window and the object.
struct FormDeleter {
  void operator()(Form* form) const {
    form->Destroy();
    delete form;
  }
};
template <typename Page>
using FormPtr = std::unique_ptr<Page, FormDeleter>;

// Creates a page (its FormCreate runs).
template <typename Page>
FormPtr<Page> CreateForm() {
  FormPtr<Page> page(new Page());
  page->Create();
  return page;
}

// Shows the main window and runs the program's event loop until the window is closed.
void RunApplication(Form& mainWindow);

// The default error handler: the message in an error box with one OK button.
void ShowError(std::u16string_view message);
// What the default error handler shows when a handler ran out of memory.
inline constexpr char16_t kOutOfMemory[] =
    u"Mémoire insuffisante : l'opération n'a pas pu aboutir. Fermez d'autres programmes, puis réessayez.";
