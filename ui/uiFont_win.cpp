#include "ui/uiFont_win.h"

namespace {
constexpr wchar_t kFace[] = L"Segoe UI";
constexpr wchar_t kSemiboldFace[] = L"Segoe UI Semibold";

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

bool FaceExists(const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, &NoteFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}
}  // namespace

HFONT CreateUiFont(int pixelHeight, int weight, bool underline, BYTE quality) {
  LOGFONTW font{};
  font.lfHeight = -pixelHeight;
  font.lfWeight = weight;
  font.lfUnderline = underline;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = quality;
  lstrcpynW(font.lfFaceName, kFace, LF_FACESIZE);
  if (weight == FW_SEMIBOLD && FaceExists(kSemiboldFace)) {
    lstrcpynW(font.lfFaceName, kSemiboldFace, LF_FACESIZE);
    font.lfWeight = FW_NORMAL;
  }
  return CreateFontIndirectW(&font);
}
