// A TrueType font made by a test: a family name of its choosing and one glyph, a filled
// square, for each of the given characters. It lets a test give the system a face that
// it lacks ("Segoe UI Semibold") or a face with or without a character ("Segoe UI Emoji"
// with or without U+1F4C2).
#pragma once
#include <string>
#include <vector>

// The font file's bytes: a square from 100 to 900 across and 0 to 700 up, in 1000 units
// to the em (ascent 800, descent 200).
std::vector<unsigned char> MakeTestFont(const std::u16string& family,
                                        std::vector<char32_t> characters);

// The font installed for this process while the object lives.
class InstalledTestFont {
public:
  InstalledTestFont(const std::u16string& family, const std::vector<char32_t>& characters);
  ~InstalledTestFont();
  InstalledTestFont(const InstalledTestFont&) = delete;
  InstalledTestFont& operator=(const InstalledTestFont&) = delete;

  bool Installed() const { return installed_; }

private:
  std::u16string file_;
  bool installed_ = false;
};
