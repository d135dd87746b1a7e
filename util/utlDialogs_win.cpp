// The Windows dialogs. The message box is a dialog of our own, built from an in-memory
// template, because the system's MessageBoxW offers only fixed sets of buttons: this
// one shows any of the seven buttons in any combination, with the look of the system
// box (the kind's icon and sound, the message font, the text on white above a band that
// holds the buttons, sized to its text). The input window is the one that the window
// layer installs.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "util/appError.h"
#include "util/dpi_win.h"
#include "util/systemError_win.h"
#include "util/utlDialogs_win.h"
#include "util/wideText_win.h"

namespace {
InputWindow inputWindow = nullptr;

// Child IDs of the text and icon, as in the system's message box.
constexpr int kIconId = 20;
constexpr int kTextId = 0xFFFF;

// Layout in pixels at 96 DPI.
constexpr int kMargin = 24;          // around the icon and the text
constexpr int kIconGap = 12;         // between the icon and the text
constexpr int kTextMaxWidth = 400;   // the text wraps beyond this
constexpr int kButtonWidth = 80;     // at least; wider for a longer caption
constexpr int kButtonHeight = 24;
constexpr int kButtonGap = 8;
constexpr int kBandPadding = 12;     // around the buttons in the band
constexpr int kCaptionPadding = 20;  // caption width + this = button width, at least

struct ButtonLook {
  MsgButton Button;
  int Id;
  const char16_t* Caption;
};
constexpr ButtonLook kButtonLooks[] = {
    {MsgButton::Yes, IDYES, u"Oui"},          {MsgButton::No, IDNO, u"Non"},
    {MsgButton::OK, IDOK, u"OK"},             {MsgButton::Cancel, IDCANCEL, u"Annuler"},
    {MsgButton::Abort, IDABORT, u"Abandonner"}, {MsgButton::Retry, IDRETRY, u"Réessayer"},
    {MsgButton::Ignore, IDIGNORE, u"Ignorer"}};

const ButtonLook& LookOf(MsgButton button) {
  for (const auto& look : kButtonLooks)
    if (look.Button == button) return look;
  return kButtonLooks[2];  // DecodeMessage only yields the seven buttons
}

struct KindLook {
  LPCWSTR Icon;
  UINT Sound;
};
KindLook LookOf(MsgKind kind) {
  switch (kind) {
    case MsgKind::Error: return {IDI_ERROR, MB_ICONERROR};
    case MsgKind::Information: return {IDI_INFORMATION, MB_ICONINFORMATION};
    case MsgKind::Confirmation: return {IDI_QUESTION, MB_ICONQUESTION};
    case MsgKind::Warning: break;
  }
  return {IDI_WARNING, MB_ICONWARNING};
}

class MessageBoxWindow {
public:
  explicit MessageBoxWindow(const MessageRequest& request) : request_(request) {}
  ~MessageBoxWindow() { FreeLook(); }

  MsgButton Run() {
    owner_ = GetActiveWindow();
    const std::vector<WORD> dialogTemplate = Template();
    MessageBeep(LookOf(request_.Kind).Sound);
    const INT_PTR id = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
        owner_, &MessageBoxWindow::Procedure, reinterpret_cast<LPARAM>(this));
    const DWORD error = GetLastError();
    for (const auto& look : kButtonLooks)
      if (look.Id == id) return look.Button;
    // -1: the box could not be made; 0: its owner was no window. Nobody saw it.
    if (id == -1 || id == 0) {
      const std::u16string cause = SystemErrorText(error);
      throw AppError(u"Boîte de message non affichée." + (cause.empty() ? u"" : u" " + cause));
    }
    return MsgButton::None;
  }

private:
  // The dialog alone, with its title: its children are made and placed at run time,
  // at the window's DPI.
  std::vector<WORD> Template() const {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    // A box that belongs to no window of ours must not hide behind other programs.
    header->dwExtendedStyle = WS_EX_DLGMODALFRAME | (owner_ ? 0 : WS_EX_TOPMOST);
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    for (char16_t c : request_.Title) words.push_back(c);
    words.push_back(0);
    return words;
  }

  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<MessageBoxWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return self ? self->Handle(dialog, message, wParam, lParam) : FALSE;
  }

  INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG: Init(dialog); return FALSE;  // the focus is set by Init
      case WM_COMMAND: Command(LOWORD(wParam)); return TRUE;
      case WM_ERASEBKGND: Paint(reinterpret_cast<HDC>(wParam)); return Result(TRUE);
      case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
        SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
      case WM_CTLCOLORBTN: return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
      case WM_DPICHANGED:
        MoveToDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return TRUE;
      default: return FALSE;
    }
  }

  INT_PTR Result(LRESULT result) {
    SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, result);
    return TRUE;
  }

  void Init(HWND dialog) {
    dialog_ = dialog;
    const DWORD child = WS_CHILD | WS_VISIBLE;
    CreateWindowExW(0, L"STATIC", nullptr, child | SS_ICON, 0, 0, 0, 0, dialog,
                    reinterpret_cast<HMENU>(kIconId), nullptr, nullptr);
    CreateWindowExW(0, L"STATIC", W(request_.Text), child | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                    dialog, reinterpret_cast<HMENU>(kTextId), nullptr, nullptr);
    const MsgButton byDefault = DefaultButton();
    bool first = true;
    for (MsgButton button : request_.Buttons) {
      const ButtonLook& look = LookOf(button);
      const DWORD style = child | WS_TABSTOP | (first ? WS_GROUP : 0) |
                          (button == byDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      CreateWindowExW(0, L"BUTTON", reinterpret_cast<LPCWSTR>(look.Caption), style, 0, 0, 0, 0,
                      dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(look.Id)), nullptr,
                      nullptr);
      first = false;
    }
    if (!Closable())
      EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    Layout(WindowDpi(dialog));
    CentreWindow(dialog_, owner_);
    const int defaultId = LookOf(byDefault).Id;
    SendMessageW(dialog, DM_SETDEFID, defaultId, 0);
    SetFocus(GetDlgItem(dialog, defaultId));
    SetForegroundWindow(dialog);
  }

  // The requested default when the box shows it, else its first button.
  MsgButton DefaultButton() const {
    const auto& shown = request_.Buttons;
    return std::find(shown.begin(), shown.end(), request_.Default) != shown.end()
               ? request_.Default
               : shown.front();
  }

  bool Shows(MsgButton button) const {
    return std::find(request_.Buttons.begin(), request_.Buttons.end(), button) !=
           request_.Buttons.end();
  }
  bool OnlyOK() const {
    return request_.Buttons.size() == 1 && request_.Buttons.front() == MsgButton::OK;
  }
  // Escape and the close box answer Cancel, or OK when that is the only button.
  bool Closable() const { return Shows(MsgButton::Cancel) || OnlyOK(); }

  void Command(int id) {
    if (id == IDCANCEL && !Shows(MsgButton::Cancel)) {
      if (OnlyOK()) EndDialog(dialog_, IDOK);
      return;
    }
    for (MsgButton button : request_.Buttons)
      if (LookOf(button).Id == id) EndDialog(dialog_, id);
  }

  void FreeLook() {
    if (font_) DeleteObject(font_);
    if (icon_) DestroyIcon(icon_);
    font_ = nullptr;
    icon_ = nullptr;
  }

  // Sizes the box to its text at dpi and places its children.
  void Layout(UINT dpi) {
    FreeLook();
    const auto px = [dpi](int length) { return Scaled(length, dpi); };
    LOGFONTW messageFont = NonClientMetrics(dpi).lfMessageFont;
    font_ = CreateFontIndirectW(&messageFont);
    const int iconSize = SystemMetric(SM_CXICON, dpi);
    icon_ = LoadSystemIcon(LookOf(request_.Kind).Icon, iconSize);

    HDC dc = GetDC(dialog_);
    HGDIOBJ previous = SelectObject(dc, font_);
    RECT text{0, 0, px(kTextMaxWidth), 0};
    DrawTextW(dc, W(request_.Text), -1, &text,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    int buttonWidth = px(kButtonWidth);
    for (MsgButton button : request_.Buttons) {
      RECT caption{};
      DrawTextW(dc, reinterpret_cast<LPCWSTR>(LookOf(button).Caption), -1, &caption,
                DT_CALCRECT | DT_SINGLELINE);
      buttonWidth = std::max<int>(buttonWidth, caption.right + px(kCaptionPadding));
    }
    SelectObject(dc, previous);
    ReleaseDC(dialog_, dc);

    const int textWidth = text.right, textHeight = text.bottom;
    const int count = static_cast<int>(request_.Buttons.size());
    const int buttonsWidth = count * buttonWidth + (count - 1) * px(kButtonGap);
    const int contentHeight = std::max(iconSize, textHeight);
    const int width = std::max(2 * px(kMargin) + iconSize + px(kIconGap) + textWidth,
                               2 * px(kBandPadding) + buttonsWidth);
    upperHeight_ = 2 * px(kMargin) + contentHeight;
    const int height = upperHeight_ + 2 * px(kBandPadding) + px(kButtonHeight);

    const auto place = [this](int id, int x, int y, int w, int h) {
      HWND child = GetDlgItem(dialog_, id);
      SetWindowPos(child, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
      SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    };
    place(kIconId, px(kMargin), px(kMargin) + (contentHeight - iconSize) / 2, iconSize, iconSize);
    SendDlgItemMessageW(dialog_, kIconId, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
    place(kTextId, px(kMargin) + iconSize + px(kIconGap),
          px(kMargin) + (contentHeight - textHeight) / 2, textWidth, textHeight);
    int x = width - px(kBandPadding) - buttonsWidth;
    for (MsgButton button : request_.Buttons) {
      place(LookOf(button).Id, x, upperHeight_ + px(kBandPadding), buttonWidth,
            px(kButtonHeight));
      x += buttonWidth + px(kButtonGap);
    }

    const auto style = static_cast<DWORD>(GetWindowLongW(dialog_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(dialog_, GWL_EXSTYLE));
    const SIZE outer = OuterSize(width, height, style, exStyle, dpi);
    SetWindowPos(dialog_, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWithChildren(dialog_);
  }

  // Dragged onto a monitor of another DPI: laid out for it, where the system suggests, so
  // that the box stays under the pointer on that monitor.
  void MoveToDpi(UINT dpi, const RECT& suggested) {
    Layout(dpi);
    SetWindowPos(dialog_, nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // The text on white, the buttons on the band below.
  void Paint(HDC dc) {
    RECT client;
    GetClientRect(dialog_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    RECT upper = client;
    upper.bottom = upperHeight_;
    FillRect(dc, &upper, GetSysColorBrush(COLOR_WINDOW));
  }

  const MessageRequest& request_;
  HWND owner_ = nullptr;
  HWND dialog_ = nullptr;
  HFONT font_ = nullptr;
  HICON icon_ = nullptr;
  int upperHeight_ = 0;
};

class WindowsDialogs final : public DialogBackend {
public:
  MsgButton ShowMessage(const MessageRequest& request) override {
    return MessageBoxWindow(request).Run();
  }
  InputOutcome ShowInput(const InputRequest& request) override {
    return inputWindow ? inputWindow(request) : InputOutcome{};
  }
};
}  // namespace

DialogBackend& PlatformDialogs() {
  static WindowsDialogs backend;
  return backend;
}

void SetInputWindow(InputWindow window) { inputWindow = window; }
