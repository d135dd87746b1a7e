#include "tests/e2e/driver.h"

#include <oleacc.h>
#include <shellapi.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/win/winTestSupport.h"
#include "util/wideText_win.h"

namespace {
constexpr DWORD kPoll = 50;        // ms between two looks
constexpr UINT kSendLimit = 5000;  // ms for a message to the program's windows
constexpr UINT kClickLimit = 500;  // ms for a click's handler
constexpr int kMessageId = 0xFFFF;  // the message's ID in message boxes

// Polls until found() gives a value or the limit passes.
template <typename Find>
auto Poll(DWORD limit, Find found) -> decltype(found()) {
  for (DWORD waited = 0;; waited += kPoll) {
    if (auto value = found()) return value;
    if (waited >= limit) return {};
    Sleep(kPoll);
  }
}

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendLimit, &result);
  return static_cast<LRESULT>(result);
}

// The window's pixels as they are on the screen.
HBITMAP Capture(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(dc, previous);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

std::vector<BYTE> Bits(HBITMAP bitmap) {
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  BITMAPINFO header{};
  header.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB,
                      0, 0, 0, 0, 0};
  std::vector<BYTE> bits(static_cast<std::size_t>(info.bmWidth) * info.bmHeight * 4);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, info.bmHeight, bits.data(), &header, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bits;
}

template <typename Interface>
struct Com {
  Interface* Pointer = nullptr;
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (Pointer) Pointer->Release();
  }
  Interface* operator->() const { return Pointer; }
};

bool WritePng(HBITMAP bitmap, const std::u16string& path) {
  Com<IWICImagingFactory> factory;
  Com<IWICBitmap> source;
  Com<IWICStream> stream;
  Com<IWICBitmapEncoder> encoder;
  Com<IWICBitmapFrameEncode> frame;
  return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&factory.Pointer))) &&
         SUCCEEDED(factory->CreateBitmapFromHBITMAP(bitmap, nullptr, WICBitmapIgnoreAlpha,
                                                    &source.Pointer)) &&
         SUCCEEDED(factory->CreateStream(&stream.Pointer)) &&
         SUCCEEDED(stream->InitializeFromFilename(W(path), GENERIC_WRITE)) &&
         SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder.Pointer)) &&
         SUCCEEDED(encoder->Initialize(stream.Pointer, WICBitmapEncoderNoCache)) &&
         SUCCEEDED(encoder->CreateNewFrame(&frame.Pointer, nullptr)) &&
         SUCCEEDED(frame->Initialize(nullptr)) &&
         SUCCEEDED(frame->WriteSource(source.Pointer, nullptr)) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

// A copy of some bytes in another process's memory, freed with the object.
class RemoteCopy {
public:
  RemoteCopy(HANDLE process, const void* data, std::size_t size) : process_(process) {
    address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    if (address_ && !WriteProcessMemory(process, address_, data, size, nullptr)) Free();
  }
  ~RemoteCopy() { Free(); }
  RemoteCopy(const RemoteCopy&) = delete;
  RemoteCopy& operator=(const RemoteCopy&) = delete;
  void* Address() const { return address_; }

private:
  void Free() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    address_ = nullptr;
  }

  HANDLE process_;
  void* address_ = nullptr;
};

bool IsLinkFile(const std::u16string& file) {
  return file.size() > 4 &&
         CompareStringOrdinal(W(file.substr(file.size() - 4)), -1, L".lnk", -1, TRUE) == CSTR_EQUAL;
}
}  // namespace

namespace {
struct WindowListing {
  DWORD ProcessId;
  bool VisibleOnly;
  std::vector<HWND> Windows;
};

// The system's calling convention for callbacks, which a lambda lacks in a 32-bit build.
BOOL CALLBACK ListWindow(HWND window, LPARAM data) {
  auto& listing = *reinterpret_cast<WindowListing*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == listing.ProcessId && (!listing.VisibleOnly || IsWindowVisible(window)))
    listing.Windows.push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly) {
  WindowListing listing{processId, visibleOnly, {}};
  EnumWindows(&ListWindow, reinterpret_cast<LPARAM>(&listing));
  return listing.Windows;
}
}  // namespace

DriverSettings& Settings() {
  static DriverSettings settings;
  return settings;
}

std::u16string InstallCaption() {
  std::u16string version;
  const std::u16string& file = Settings().VersionOf.empty() ? Settings().Program : Settings().VersionOf;
  if (HMODULE program = LoadLibraryExW(W(file), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
    HRSRC found = FindResourceW(program, L"RESOURCE_3", MAKEINTRESOURCEW(10));  // RT_RCDATA
    const auto* text = found ? static_cast<const char*>(LockResource(LoadResource(program, found)))
                             : nullptr;
    for (DWORD i = 0, size = found ? SizeofResource(program, found) : 0;
         text && i < size && text[i] != '\r' && text[i] != '\n'; ++i)
      version += static_cast<char16_t>(static_cast<unsigned char>(text[i]));
    FreeLibrary(program);
  }
  return u"Installation Orvelin " + version;
}

Process::Process(const std::u16string& file, const std::u16string& arguments,
                 const std::u16string& folder) {
  // A link is read here, so that the started target's process is known.
  if (!IsLinkFile(file)) {
    Start(file, arguments, folder);
    return;
  }
  const LinkSettings link = LoadLink(file);
  if (!link.Target.empty()) Start(link.Target, link.Arguments, link.WorkingDir);
}

void Process::Start(const std::u16string& file, const std::u16string& arguments,
                    const std::u16string& folder) {
  SHELLEXECUTEINFOW run{};
  run.cbSize = sizeof run;
  run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  run.lpFile = W(file);
  run.lpParameters = arguments.empty() ? nullptr : W(arguments);
  run.lpDirectory = folder.empty() ? nullptr : W(folder);
  run.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&run) && run.hProcess) {
    process_ = run.hProcess;
    id_ = GetProcessId(process_);
  }
}

Process::~Process() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, kWaitLimit);
  }
  CloseHandle(process_);
}

std::optional<DWORD> Process::WaitExit(DWORD limit) {
  if (!process_ || WaitForSingleObject(process_, limit) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

bool Process::Load(const std::u16string& library) {
  if (!process_) return false;
  const RemoteCopy name(process_, library.c_str(), (library.size() + 1) * sizeof(char16_t));
  // kernel32.dll, and LoadLibraryW in it, lie at the same address in every process.
  const auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
  HANDLE thread = name.Address() ? CreateRemoteThread(process_, nullptr, 0, load, name.Address(),
                                                      0, nullptr)
                                 : nullptr;
  if (!thread) return false;
  DWORD module = 0;
  const bool loaded = WaitForSingleObject(thread, kWaitLimit) == WAIT_OBJECT_0 &&
                      GetExitCodeThread(thread, &module) && module != 0;
  CloseHandle(thread);
  return loaded;
}

bool Process::Ending::Saw(const std::u16string& caption) const {
  return std::find(CaptionsSeen.begin(), CaptionsSeen.end(), caption) != CaptionsSeen.end();
}

Process::Ending Process::WatchUntilExit(DWORD limit) {
  Ending ending;
  ending.ExitCode = Poll(limit, [&] {
    for (HWND window : VisibleWindows(id_))
      if (const std::u16string caption = TextOf(window); !ending.Saw(caption))
        ending.CaptionsSeen.push_back(caption);
    ending.AnyWindow = ending.AnyWindow || !TopLevelWindows(id_, false).empty();
    return WaitExit(0);
  });
  return ending;
}

SetupProcess::SetupProcess(const std::u16string& arguments)
    : Process(Settings().Program, arguments, WorkFolder()) {}

std::u16string SetupProcess::WorkFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::u16string folder = FromW(temp) + u"orvelin-e2e";
  CreateDirectoryW(W(folder), nullptr);
  return folder;
}


std::vector<HWND> VisibleWindows(DWORD processId) { return TopLevelWindows(processId, true); }

HWND WaitForWindow(DWORD processId, const std::u16string& caption, DWORD limit) {
  return Poll(limit, [&]() -> HWND {
    for (HWND window : VisibleWindows(processId))
      if (TextOf(window) == caption) return window;
    return nullptr;
  });
}

bool WaitUntil(const std::function<bool()>& condition, DWORD limit) {
  return Poll(limit, condition);
}

bool WaitUntilGone(HWND window, DWORD limit) {
  return Poll(limit, [&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

std::optional<std::u16string> AnswerBox(DWORD processId, const std::u16string& title,
                                        const std::u16string& button, DWORD limit) {
  HWND box = WaitForWindow(processId, title, limit);
  if (!box) return std::nullopt;
  const std::u16string message = ReadBox(box).Message;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (TextOf(child) != button) continue;
    // The box's modal loop has returned once the box is destroyed.
    if (Click(child) && Poll(limit, [&] { return !IsWindow(box); })) return message;
    return std::nullopt;
  }
  return std::nullopt;
}

bool AnswerFolderPicker(DWORD processId, const std::u16string& title, const std::u16string& path,
                        DWORD limit) {
  constexpr int kFileNameId = 1152;  // the file name field of the system's file dialogs
  HWND picker = WaitForWindow(processId, title, limit);
  if (!picker) return false;
  if (!path.empty())
    SendMessageTimeoutW(GetDlgItem(picker, kFileNameId), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(path.c_str()), SMTO_NORMAL, kSendLimit, nullptr);
  // Posted like a user's click: the picker does not take its buttons' clicks as sent
  // messages.
  PostMessageW(GetDlgItem(picker, path.empty() ? IDCANCEL : IDOK), BM_CLICK, 0, 0);
  return WaitUntilGone(picker, limit);
}

void PressCloseBox(HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

HWND Control(HWND window, int id) { return GetDlgItem(window, id); }

bool Click(HWND control) {
  if (!control || !IsEnabled(control) || !IsShown(control)) return false;
  // Sent, so that what the click changes is done when this returns; a click that opens
  // a page or a box keeps its handler running, and the wait for it ends at the limit.
  SendMessageTimeoutW(control, BM_CLICK, 0, 0, SMTO_NORMAL, kClickLimit, nullptr);
  return true;
}

bool Press(HWND control) {
  if (!control || !IsEnabled(control) || !IsShown(control)) return false;
  PostMessageW(control, BM_CLICK, 0, 0);
  return true;
}

std::u16string TextOf(HWND window) {
  const auto length = static_cast<std::size_t>(Send(window, WM_GETTEXTLENGTH));
  std::u16string text(length, u'\0');
  const auto copied =
      Send(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

std::u16string HeldTextOf(HWND window) {
  wchar_t text[1024] = {};
  const int length = InternalGetWindowText(window, text, 1024);
  return FromW(text, static_cast<std::size_t>(length));
}

bool IsChecked(HWND control) { return Send(control, BM_GETCHECK) == BST_CHECKED; }
bool IsEnabled(HWND control) { return IsWindowEnabled(control) != 0; }
bool IsShown(HWND control) { return IsWindowVisible(control) != 0; }

InputState InputStateOf(HWND window) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui)) return {};
  return {gui.hwndActive, gui.hwndFocus};
}

std::vector<HWND> Children(HWND window) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

std::u16string AccessibleName(HWND control) {
  Com<IAccessible> accessible;
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&accessible.Pointer))))
    return u"<none>";
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::u16string text;
  if (SUCCEEDED(accessible->get_accName(self, &name)) && name)
    text = FromW(name, SysStringLen(name));
  SysFreeString(name);
  return text;
}

POINT Position(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return {rect.left, rect.top};
}

void MoveTo(HWND window, POINT place) {
  SetWindowPos(window, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BoxContent ReadBox(HWND box) {
  BoxContent content{TextOf(box), TextOf(GetDlgItem(box, kMessageId)), {}, {}};
  for (HWND child : Children(box)) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    const auto type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
    if (lstrcmpiW(name, L"Button") != 0 || !IsShown(child)) continue;
    content.Buttons.push_back(TextOf(child));
    if (type == BS_DEFPUSHBUTTON) content.DefaultButton = content.Buttons.back();
  }
  return content;
}

UINT DpiOf(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  const UINT dpi = getDpi ? getDpi(window) : 0;
  return dpi ? dpi : 96;
}

RECT RectAt96(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  const int dpi = static_cast<int>(DpiOf(GetParent(control)));
  return {MulDiv(rect.left, 96, dpi), MulDiv(rect.top, 96, dpi), MulDiv(rect.right, 96, dpi),
          MulDiv(rect.bottom, 96, dpi)};
}

SIZE ClientSizeAt96(HWND window) {
  RECT rect;
  GetClientRect(window, &rect);
  const int dpi = static_cast<int>(DpiOf(window));
  return {MulDiv(rect.right, 96, dpi), MulDiv(rect.bottom, 96, dpi)};
}

Snapshot::Snapshot(HWND window) : dpi_(DpiOf(window)) {
  GetWindowRect(window, &area_);
  bitmap_ = Capture(window);
  bits_ = Bits(bitmap_);
  for (int attempt = 0; attempt < 40; ++attempt) {
    Sleep(100);
    HBITMAP again = Capture(window);
    std::vector<BYTE> bits = Bits(again);
    const bool settled = bits == bits_;
    DeleteObject(bitmap_);
    bitmap_ = again;
    bits_ = std::move(bits);
    if (settled) break;
  }
}

Snapshot::~Snapshot() { DeleteObject(bitmap_); }

bool Snapshot::Save(const std::u16string& page) const {
  CreateDirectoryW(W(Settings().Screenshots), nullptr);
  const std::string dpi = std::to_string(dpi_);
  const std::u16string name = page + u"-" + std::u16string(dpi.begin(), dpi.end()) + u"dpi.png";
  return WritePng(bitmap_, Settings().Screenshots + u"\\" + name);
}

COLORREF Snapshot::PixelOf(HWND shown, int x, int y) const {
  RECT rect;
  GetWindowRect(shown, &rect);
  const int width = area_.right - area_.left;
  const int column = rect.left - area_.left + x, row = rect.top - area_.top + y;
  if (column < 0 || row < 0 || column >= width || row >= area_.bottom - area_.top)
    return CLR_INVALID;
  const BYTE* pixel = &bits_[(static_cast<std::size_t>(row) * width + column) * 4];
  return RGB(pixel[2], pixel[1], pixel[0]);
}

bool Snapshot::InkIn(HWND shown, const RECT& area) const {
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      const COLORREF colour = PixelOf(shown, x, y);
      if (colour != CLR_INVALID && GetRValue(colour) < 100 && GetGValue(colour) < 100 &&
          GetBValue(colour) < 100)
        return true;
    }
  return false;
}

int Snapshot::LongestInkRow(HWND shown) const {
  RECT rect;
  GetWindowRect(shown, &rect);
  int longest = 0;
  for (int y = 0; y < rect.bottom - rect.top; ++y)
    for (int x = 0, run = 0; x < rect.right - rect.left; ++x) {
      run = InkIn(shown, {x, y, x + 1, y + 1}) ? run + 1 : 0;
      longest = std::max(longest, run);
    }
  return longest;
}

Snapshot::Hue Snapshot::HueOf(HWND shown) const {
  RECT rect;
  GetWindowRect(shown, &rect);
  int yellow = 0, red = 0, blue = 0;
  for (int y = 0; y < rect.bottom - rect.top; ++y)
    for (int x = 0; x < rect.right - rect.left; ++x) {
      const COLORREF colour = PixelOf(shown, x, y);
      const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
      if (colour == CLR_INVALID) continue;
      if (r > 180 && g > 140 && b < 100) ++yellow;
      else if (r > 150 && g < 100 && b < 100) ++red;
      else if (b > 150 && r < 120) ++blue;
    }
  const int most = std::max({yellow, red, blue});
  if (most == 0) return Hue::None;
  return most == yellow ? Hue::Yellow : most == red ? Hue::Red : Hue::Blue;
}

COLORREF Snapshot::ColourAt(HWND shown, POINT at96) const {
  const int dpi = static_cast<int>(dpi_);
  POINT client{MulDiv(at96.x, dpi, 96), MulDiv(at96.y, dpi, 96)};
  ClientToScreen(shown, &client);
  RECT rect;
  GetWindowRect(shown, &rect);
  return PixelOf(shown, client.x - rect.left, client.y - rect.top);
}

int Snapshot::PixelsOf(HWND shown, COLORREF colour, int tolerance) const {
  RECT rect;
  GetWindowRect(shown, &rect);
  int count = 0;
  for (int y = 0; y < rect.bottom - rect.top; ++y)
    for (int x = 0; x < rect.right - rect.left; ++x) {
      const COLORREF pixel = PixelOf(shown, x, y);
      if (pixel != CLR_INVALID && std::abs(GetRValue(pixel) - GetRValue(colour)) <= tolerance &&
          std::abs(GetGValue(pixel) - GetGValue(colour)) <= tolerance &&
          std::abs(GetBValue(pixel) - GetBValue(colour)) <= tolerance)
        ++count;
    }
  return count;
}

bool SaveScreenshot(HWND window, const std::u16string& page) { return Snapshot(window).Save(page); }

HWND WaitForWindowOfClass(DWORD processId, const std::u16string& className, DWORD limit) {
  return Poll(limit, [&]() -> HWND {
    for (HWND window : VisibleWindows(processId)) {
      wchar_t name[256] = {};
      GetClassNameW(window, name, 256);
      if (FromW(name) == className) return window;
    }
    return nullptr;
  });
}

HWND FocusOf(HWND window) { return InputStateOf(window).Focus; }

namespace {
// The control with the keyboard focus, once the window has it: a window that has just
// appeared may not have it yet.
HWND KeyboardTarget(HWND window) {
  return Poll(kWaitLimit, [&]() -> HWND {
    HWND focus = FocusOf(window);
    return focus && (focus == window || IsChild(window, focus)) ? focus : nullptr;
  });
}
}  // namespace

void TypeText(HWND window, const std::u16string& text) {
  HWND target = KeyboardTarget(window);
  for (char16_t c : text) PostMessageW(target, WM_CHAR, c, 1);
}

void PressKey(HWND window, UINT key) {
  HWND target = KeyboardTarget(window);
  const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  PostMessageW(target, WM_KEYDOWN, key, 1 | (scan << 16));
  PostMessageW(target, WM_KEYUP, key, 1 | (scan << 16) | (3u << 30));
}

void ClickAt(HWND control, POINT point) {
  const LPARAM at = MAKELPARAM(point.x, point.y);
  PostMessageW(control, WM_MOUSEMOVE, 0, at);
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(control, WM_LBUTTONUP, 0, at);
}

LRESULT SendWithData(HWND window, UINT message, WPARAM wParam, void* data, std::size_t size) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               processId);
  if (!process) return 0;
  LRESULT result = 0;
  if (const RemoteCopy copy(process, data, size); copy.Address()) {
    result = Send(window, message, wParam, reinterpret_cast<LPARAM>(copy.Address()));
    ReadProcessMemory(process, copy.Address(), data, size, nullptr);
  }
  CloseHandle(process);
  return result;
}
