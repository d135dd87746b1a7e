#include "ui/form_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>
#include <utility>
#include <vector>

#include "resources/resourceIds.h"
#include "ui/banner_win.h"
#include "ui/glyph_win.h"
#include "ui/uiFont_win.h"
#include "util/appError.h"
#include "util/dpi_win.h"
#include "util/systemLibrary_win.h"
#include "util/textCodec.h"
#include "util/utlDialogs.h"
#include "util/wideText_win.h"

namespace {
constexpr wchar_t kClassName[] = L"OrvelinSetupPage";
// Fixed size, a single border, only the close box in the title bar; or a bare dialog
// frame.
constexpr DWORD kTitledStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kBareStyle = WS_POPUP | WS_DLGFRAME | WS_CLIPCHILDREN;
constexpr int kSmallestFont = 8;  // pixels at 96 DPI

// Runs a handler; what it throws is shown and goes no further. Memory exhausted is said
// in the user's words, never as the library's "std::bad_alloc".
template <typename Handler>
void Guarded(Handler&& handler) noexcept {
  try {
    handler();
  } catch (const AppError& error) {
    ShowError(error.Message());
  } catch (const std::bad_alloc&) {
    ShowError(kOutOfMemory);
  } catch (const std::exception& error) {
    ShowError(FromAnsi(error.what()));
  } catch (...) {
    ShowError(u"Erreur inattendue.");
  }
}

// The user's high-contrast setting.
bool HighContrast() {
  HIGHCONTRASTW setting{sizeof setting, 0, nullptr};
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
         (setting.dwFlags & HCF_HIGHCONTRASTON);
}

// The system's text colour on a system background colour.
int SystemTextOn(int systemFill) {
  return systemFill == COLOR_BTNFACE ? COLOR_BTNTEXT : COLOR_WINDOWTEXT;
}

bool IsForm(HWND window) {
  wchar_t name[64] = {};
  return window && GetClassNameW(window, name, 64) && lstrcmpW(name, kClassName) == 0;
}

// One message of an event loop, with the keyboard interface of dialogs (Tab, arrows,
// Enter for the default button) in the pages.
void DispatchOne(MSG& message) {
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  if (IsForm(root) && IsDialogMessageW(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

bool Contains(const RECT& rect, POINT point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
         point.y < rect.bottom;
}

// The thread's other visible windows, disabled while a modal window shows.
class OtherWindowsDisabled {
public:
  explicit OtherWindowsDisabled(HWND modal) : modal_(modal) {
    EnumThreadWindows(GetCurrentThreadId(), &Disable, reinterpret_cast<LPARAM>(this));
  }
  ~OtherWindowsDisabled() {
    for (HWND window : disabled_)
      if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
  OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

private:
  static BOOL CALLBACK Disable(HWND window, LPARAM self) {
    auto& state = *reinterpret_cast<OtherWindowsDisabled*>(self);
    if (window != state.modal_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
      EnableWindow(window, FALSE);
      state.disabled_.push_back(window);
    }
    return TRUE;
  }

  HWND modal_;
  std::vector<HWND> disabled_;
};
}  // namespace

void Form::RegisterWindowClass() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Form::Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(ORVELIN_ICON));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    // The common controls that the pages use beside the standard ones.
    RegisterCommonControls(ICC_STANDARD_CLASSES | ICC_DATE_CLASSES);
    return RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

void ShowError(std::u16string_view message) { MsgDlg(message, u"O", u"O", u"E"); }

Form::Form(const PageLayout& layout)
    : layout_(layout),
      style_(layout.TitleBar ? kTitledStyle : kBareStyle),
      exStyle_(WS_EX_CONTROLPARENT | (layout.StayOnTop ? WS_EX_TOPMOST : 0)),
      clientWidth_(layout.ClientWidth) {}

Form::~Form() {
  if (window_) DestroyWindow(window_);
  ReleaseGdi();
}

void Form::Create() {
  RegisterWindowClass();
  const UINT dpi = SystemDpi();
  const SIZE outer = OuterSize(::Scaled(clientWidth_, dpi), ::Scaled(layout_.ClientHeight, dpi),
                               style_, exStyle_, dpi);
  const std::u16string caption(layout_.Caption);
  window_ = CreateWindowExW(exStyle_, kClassName, W(caption), style_, CW_USEDEFAULT,
                            CW_USEDEFAULT, outer.cx, outer.cy, nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
  if (!window_) throw AppError(u"Création de la fenêtre impossible");
  dpi_ = WindowDpi(window_);
  highContrast_ = HighContrast();
  CreateControls();
  ApplyDpi(dpi_);
  Guarded([this] { FormCreate(); });
}

void Form::Destroy() {
  if (!window_) return;
  Guarded([this] { FormDestroy(); });
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
  window_ = nullptr;
  ReleaseGdi();
}

void Form::CreateControls() {
  bool inRadioGroup = false;
  for (const ControlSpec& spec : layout_.Controls) {
    const wchar_t* className = L"BUTTON";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    const bool continuesGroup = spec.Kind == ControlKind::RadioButton && inRadioGroup;
    inRadioGroup = spec.Kind == ControlKind::RadioButton;
    if (!continuesGroup) style |= WS_GROUP;
    switch (spec.Kind) {
      case ControlKind::Label:
        className = L"STATIC";
        style |= SS_NOPREFIX | SS_CENTERIMAGE |
                 (spec.Align == LabelAlign::Centre ? SS_CENTER : SS_LEFT);
        break;
      case ControlKind::Button:
        style |= WS_TABSTOP | (spec.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        if (spec.Default) defaultId_ = spec.Id;
        break;
      case ControlKind::CheckBox: style |= WS_TABSTOP | BS_AUTOCHECKBOX; break;
      case ControlKind::RadioButton:
        style |= BS_AUTORADIOBUTTON | (continuesGroup ? 0 : WS_TABSTOP);
        break;
      case ControlKind::Edit:
      case ControlKind::WritableEdit:
        className = L"EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL |
                 (spec.Kind == ControlKind::Edit ? ES_READONLY : 0);
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::FolderButton: style |= WS_TABSTOP | BS_OWNERDRAW; break;
      case ControlKind::MonthCalendar:
        className = MONTHCAL_CLASSW;
        style |= WS_TABSTOP;
        break;
    }
    const std::u16string text(spec.Text);
    HWND control = CreateWindowExW(exStyle, className, W(text), style, 0, 0, 0, 0, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.Id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (spec.Checked) SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);

    // What lies under the control: the last painted shape below its middle.
    const ShapeSpec* under = nullptr;
    const POINT middle{spec.X + spec.Width / 2, spec.Y + spec.Height / 2};
    for (const ShapeSpec& shape : layout_.Shapes) {
      const RECT area{shape.X, shape.Y, shape.X + shape.Width, shape.Y + shape.Height};
      if (Contains(area, middle)) under = &shape;
    }
    controls_.push_back({&spec, control, under, {spec.X, spec.Y, spec.Width, spec.Height}});
  }
}

RECT Form::Scaled(int x, int y, int width, int height) const {
  return {::Scaled(x, dpi_), ::Scaled(y, dpi_), ::Scaled(x + width, dpi_),
          ::Scaled(y + height, dpi_)};
}

void Form::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  ReleaseGdi();
  Resize();
  for (const Control& control : controls_) {
    const ControlSpec& spec = *control.Spec;
    const RECT rect = Place(control);
    SendMessageW(control.Window, WM_SETFONT, reinterpret_cast<WPARAM>(Font(spec.Font)), FALSE);
    if (spec.Kind == ControlKind::MonthCalendar) FitCalendar(control.Window, rect, spec.Font);
  }
  RedrawWithChildren(window_);
}

// Puts the control at its bounds at the current DPI; returns where.
RECT Form::Place(const Control& control) {
  const ControlSpec& spec = *control.Spec;
  const ControlBounds& at = control.Bounds;
  RECT rect = Scaled(at.X, at.Y, at.Width, at.Height);
  if ((spec.Kind == ControlKind::Label && spec.Align == LabelAlign::Centre) ||
      spec.Kind == ControlKind::Button)
    WidenToText(rect, spec);
  SetWindowPos(control.Window, nullptr, rect.left, rect.top, rect.right - rect.left,
               rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
  return rect;
}

void Form::Resize() {
  const SIZE outer = OuterSize(::Scaled(clientWidth_, dpi_), ::Scaled(layout_.ClientHeight, dpi_),
                               style_, exStyle_, dpi_);
  SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A text wider than its control (a wider font than Segoe UI, a larger text size) is not
// cut: a centred label spreads evenly on both sides, a button grows to its right, where
// the pages leave room, keeping its text clear of its frame. Both stay within the window.
void Form::WidenToText(RECT& rect, const ControlSpec& spec) {
  const std::u16string text(spec.Text);
  HDC dc = GetDC(window_);
  HGDIOBJ previous = SelectObject(dc, Font(spec.Font));
  SIZE extent{};
  GetTextExtentPoint32W(dc, W(text), static_cast<int>(text.size()), &extent);
  SelectObject(dc, previous);
  ReleaseDC(window_, dc);
  const bool button = spec.Kind == ControlKind::Button;
  const int padding = ::Scaled(button ? 16 : 4, dpi_);
  const int missing = extent.cx + padding - (rect.right - rect.left);
  if (missing <= 0) return;
  const LONG right = ::Scaled(clientWidth_, dpi_);
  if (button) {
    rect.right = std::min<LONG>(right, rect.right + missing);
    return;
  }
  rect.left = std::max<LONG>(0, rect.left - (missing + 1) / 2);
  rect.right = std::min<LONG>(right, rect.right + (missing + 1) / 2);
}

// A month calendar draws a whole month in its box: its font gets smaller until the month
// fits, whatever the system's fonts are.
void Form::FitCalendar(HWND calendar, const RECT& box, FontSpec font) {
  for (;;) {
    RECT needed{};
    SendMessageW(calendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&needed));
    if ((needed.right <= box.right - box.left && needed.bottom <= box.bottom - box.top) ||
        font.Size <= kSmallestFont)
      return;
    --font.Size;
    SendMessageW(calendar, WM_SETFONT, reinterpret_cast<WPARAM>(Font(font)), FALSE);
  }
}

HFONT Form::Font(const FontSpec& spec) {
  for (const auto& [known, font] : fonts_)
    if (known == spec) return font;
  HFONT font = CreateUiFont(::Scaled(spec.Size, dpi_), spec.Weight, spec.Underline,
                            CLEARTYPE_QUALITY);
  fonts_.push_back({spec, font});
  return fonts_.back().second;
}

HBRUSH Form::Brush(COLORREF colour) {
  for (const auto& [known, brush] : brushes_)
    if (known == colour) return brush;
  brushes_.push_back({colour, CreateSolidBrush(colour)});
  return brushes_.back().second;
}

void Form::ReleaseGdi() {
  for (const auto& entry : fonts_) DeleteObject(entry.second);
  for (const auto& entry : brushes_) DeleteObject(entry.second);
  fonts_.clear();
  brushes_.clear();
  if (banner_) DeleteObject(banner_);
  banner_ = nullptr;
}

void Form::Show() {
  if (visible_ || ended_) return;
  visible_ = true;
  Guarded([this] { FormShow(); });
  // The show handler may have closed or hidden the window again.
  if (visible_ && !ended_) ShowWindow(window_, SW_SHOW);
}

void Form::Hide() {
  visible_ = false;
  ShowWindow(window_, SW_HIDE);
}

void Form::ShowModal() {
  modal_ = true;
  closeRequested_ = false;
  {
    const OtherWindowsDisabled others(window_);
    Show();
    MSG message;
    while (!closeRequested_) {
      if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
        // The program is ending: the showing ends too, and the loop outside learns it.
        PostQuitMessage(static_cast<int>(message.wParam));
        break;
      }
      DispatchOne(message);
    }
    modal_ = false;
    Guarded([this] { FormClose(); });
  }
  // Hidden once the others are enabled again, so that the activation goes back to them.
  Hide();
}

void Form::Close() {
  if (modal_) {
    closeRequested_ = true;
    return;
  }
  if (ended_) return;  // the program is ending already: one close only
  Guarded([this] { FormClose(); });
  Hide();
  if (main_) {
    ended_ = true;
    PostQuitMessage(0);
  }
}

void Form::OpenPage(Form& page, bool showAgain) {
  page.SetLeft(Left());
  page.SetTop(Top());
  Hide();
  page.ShowModal();
  if (showAgain) Show();
}

int Form::Left() const {
  RECT rect;
  GetWindowRect(window_, &rect);
  return rect.left;
}

int Form::Top() const {
  RECT rect;
  GetWindowRect(window_, &rect);
  return rect.top;
}

void Form::SetLeft(int left) {
  SetWindowPos(window_, nullptr, left, Top(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetTop(int top) {
  SetWindowPos(window_, nullptr, Left(), top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetCaption(std::u16string_view caption) {
  SetWindowTextW(window_, W(std::u16string(caption)));
}

void Form::CentreOnWorkArea() { CentreWindow(window_, nullptr); }

const Form::Control* Form::Find(int id) const {
  for (const Control& control : controls_)
    if (control.Spec->Id == id) return &control;
  return nullptr;
}

Form::Control* Form::Find(int id) {
  return const_cast<Control*>(std::as_const(*this).Find(id));
}

const Form::Control* Form::Find(HWND window) const {
  for (const Control& control : controls_)
    if (control.Window == window) return &control;
  return nullptr;
}

HWND Form::Item(int id) const {
  const Control* control = Find(id);
  return control ? control->Window : nullptr;
}

std::u16string Form::Text(int id) const {
  HWND control = Item(id);
  std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(control)), u'\0');
  GetWindowTextW(control, reinterpret_cast<wchar_t*>(text.data()),
                 static_cast<int>(text.size()) + 1);
  return text;
}

void Form::SetText(int id, std::u16string_view text) {
  SetWindowTextW(Item(id), W(std::u16string(text)));
}

bool Form::Checked(int id) const {
  return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Form::SetChecked(int id, bool checked) {
  SendMessageW(Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Form::SetEnabled(int id, bool enabled) { EnableWindow(Item(id), enabled); }

void Form::SetVisible(int id, bool visible) { ShowWindow(Item(id), visible ? SW_SHOW : SW_HIDE); }

void Form::SetBounds(int id, const ControlBounds& bounds) {
  Control& control = *Find(id);
  control.Bounds = bounds;
  Place(control);
}

void Form::SetClientWidth(int width) {
  clientWidth_ = width;
  Resize();
}

void Form::Focus(int id) {
  const Control& control = *Find(id);
  if (control.Spec->Kind == ControlKind::Edit || control.Spec->Kind == ControlKind::WritableEdit)
    SendMessageW(control.Window, EM_SETSEL, 0, -1);
  focus_ = control.Window;
  if (IsWindowVisible(window_)) SetFocus(control.Window);
}

void Form::SetDate(int id, const SYSTEMTIME& date) {
  SYSTEMTIME selected = date;
  SendMessageW(Item(id), MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&selected));
}

void Form::StartTimer(int id, UINT interval) { SetTimer(window_, id, interval, nullptr); }

void Form::StopTimer(int id) { KillTimer(window_, id); }

LRESULT CALLBACK Form::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* creating = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    creating->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creating));
  }
  auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return form ? form->HandleMessage(message, wParam, lParam)
              : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY: Notify(*reinterpret_cast<const NMHDR*>(lParam)); return 0;
    case WM_TIMER: Guarded([&] { Timer(static_cast<int>(wParam)); }); return 0;
    case WM_CLOSE: Close(); return 0;
    case WM_ERASEBKGND: return 1;  // WM_PAINT covers everything
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window_, &paint);
      Paint(dc);
      EndPaint(window_, &paint);
      return 0;
    }
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(
          ControlColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)));
    case WM_DRAWITEM:
      DrawFolderButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case DM_GETDEFID: {
      HWND button = Item(defaultId_);
      if (!button || !IsWindowEnabled(button) || !IsWindowVisible(button)) return 0;
      return MAKELRESULT(defaultId_, DC_HASDEFID);
    }
    case DM_SETDEFID: defaultId_ = static_cast<int>(wParam); return TRUE;
    case WM_ACTIVATE: Activate(LOWORD(wParam) != WA_INACTIVE); return 0;
    case WM_SYSCOLORCHANGE: FollowSystemColours(); return 0;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETHIGHCONTRAST) FollowSystemColours();
      return 0;
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      ApplyDpi(HIWORD(wParam));
      return 0;
    }
    default: return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void Form::Command(int id, int code, HWND window) {
  const Control* control = Find(window);
  // Only what a user can press: Enter and Escape also come here as IDOK and IDCANCEL.
  if (!control || code != BN_CLICKED || !IsWindowEnabled(window) || !IsWindowVisible(window))
    return;
  switch (control->Spec->Kind) {
    case ControlKind::Button:
    case ControlKind::FolderButton: Guarded([&] { Click(id); }); break;
    case ControlKind::CheckBox: Guarded([&] { Change(id); }); break;
    default: break;
  }
}

void Form::Notify(const NMHDR& header) {
  const Control* control = Find(header.hwndFrom);
  if (!control || control->Spec->Kind != ControlKind::MonthCalendar || header.code != MCN_SELECT)
    return;
  const auto& selection = reinterpret_cast<const NMSELCHANGE&>(header);
  Guarded([&] { DateSelected(control->Spec->Id, selection.stSelStart); });
}

HBRUSH Form::ControlColours(HWND window, HDC dc) {
  const Colours colours = ColoursOf(Find(window));
  SetBkColor(dc, colours.Back);
  SetTextColor(dc, colours.Text);
  return Brush(colours.Back);
}

// A control's background and text colours: those of what it stands on (the page when
// null), except the fields, which always have the system's.
Form::Colours Form::ColoursOf(const Control* control) const {
  const bool field = control && (control->Spec->Kind == ControlKind::Edit ||
                                 control->Spec->Kind == ControlKind::WritableEdit);
  if (field) return {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
  const ShapeSpec* under = control ? control->Under : nullptr;
  if (under && under->Kind == ShapeKind::Picture) return {kBannerBackground, kWhite};
  if (!highContrast_) return {FillOf(under), kBlack};
  return {FillOf(under), GetSysColor(SystemTextOn(under ? under->SystemFill : COLOR_WINDOW))};
}

// A rectangle's fill, or the page's when null.
COLORREF Form::FillOf(const ShapeSpec* shape) const {
  if (highContrast_) return GetSysColor(shape ? shape->SystemFill : COLOR_WINDOW);
  return shape ? shape->Fill : kWhite;
}

// The system's colours or its high-contrast setting changed: the common controls learn
// it, and the page and its controls repaint in the new colours.
void Form::FollowSystemColours() {
  highContrast_ = HighContrast();
  for (const Control& control : controls_) SendMessageW(control.Window, WM_SYSCOLORCHANGE, 0, 0);
  RedrawWithChildren(window_);
}

// The focus comes back to the control that had it, or goes to the first in the
// keyboard order. An option that is no longer chosen hands it to the chosen one of its
// group: Windows' automatic radio buttons choose themselves when they get the focus, and
// giving it back must not undo a choice made meanwhile (the welcome page's FormShow).
void Form::Activate(bool active) {
  if (!active) {
    HWND focus = GetFocus();
    if (focus && IsChild(window_, focus)) focus_ = focus;
    return;
  }
  HWND target = focus_ && IsWindowEnabled(focus_) && IsWindowVisible(focus_)
                    ? focus_
                    : GetNextDlgTabItem(window_, nullptr, FALSE);
  if (target) SetFocus(ChosenOption(target));
}

HWND Form::ChosenOption(HWND control) const {
  const Control* option = Find(control);
  if (!option || option->Spec->Kind != ControlKind::RadioButton) return control;
  for (HWND other = control;;) {
    if (SendMessageW(other, BM_GETCHECK, 0, 0) == BST_CHECKED) return other;
    other = GetNextDlgGroupItem(window_, other, FALSE);
    if (!other || other == control) return control;
  }
}

void Form::Paint(HDC target) {
  RECT client;
  GetClientRect(window_, &client);
  // Drawn off screen first, so the shapes do not flicker over each other.
  HDC dc = CreateCompatibleDC(target);
  HBITMAP canvas = CreateCompatibleBitmap(target, client.right, client.bottom);
  HGDIOBJ previous = SelectObject(dc, canvas);
  FillRect(dc, &client, Brush(FillOf(nullptr)));
  for (const ShapeSpec& shape : layout_.Shapes) {
    const RECT rect = Scaled(shape.X, shape.Y, shape.Width, shape.Height);
    if (shape.Kind == ShapeKind::Picture) {
      if (!banner_) banner_ = PaintBanner(rect.right - rect.left, rect.bottom - rect.top, dpi_);
      HDC picture = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(picture, banner_);
      BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, picture, 0,
             0, SRCCOPY);
      SelectObject(picture, old);
      DeleteDC(picture);
      continue;
    }
    FillRect(dc, &rect, Brush(FillOf(&shape)));
    if (shape.Border > 0) {
      const COLORREF border =
          highContrast_ ? GetSysColor(shape.SystemBorder) : shape.BorderColour;
      const int width = std::max(1, static_cast<int>(std::lround(shape.Border * dpi_ / 96.0)));
      for (int i = 0; i < width; ++i) {
        const RECT frame{rect.left + i, rect.top + i, rect.right - i, rect.bottom - i};
        FrameRect(dc, &frame, Brush(border));
      }
    }
  }
  BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(dc, previous);
  DeleteObject(canvas);
  DeleteDC(dc);
}

void Form::DrawFolderButton(const DRAWITEMSTRUCT& item) {
  const Control* control = Find(item.hwndItem);
  if (!control) return;
  ::DrawFolderButton(item, ::Scaled(control->Spec->Font.Size, dpi_), highContrast_);
}

void RunApplication(Form& mainWindow) {
  mainWindow.Show();
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchOne(message);
}
