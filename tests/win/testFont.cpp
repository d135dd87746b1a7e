#include "tests/win/testFont.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "util/wideText_win.h"

namespace {
using Bytes = std::vector<unsigned char>;

// Big-endian fields, as every TrueType table holds them.
struct Table {
  Bytes Data;
  Table& U16(std::uint32_t value) {
    Data.push_back(static_cast<unsigned char>(value >> 8));
    Data.push_back(static_cast<unsigned char>(value));
    return *this;
  }
  Table& U32(std::uint32_t value) { return U16(value >> 16).U16(value & 0xFFFF); }
  Table& Repeat(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) U16(value);
    return *this;
  }
};

constexpr std::uint32_t kVersion1 = 0x00010000;
constexpr std::uint16_t kSquareGlyph = 1;  // glyph 0 is the empty .notdef

std::uint32_t CheckSum(const Bytes& data) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < data.size(); i += 4)
    for (std::size_t j = 0; j < 4; ++j)
      sum += static_cast<std::uint32_t>(i + j < data.size() ? data[i + j] : 0) << (24 - 8 * j);
  return sum;
}

// Format 4 for the characters of the Basic Multilingual Plane, format 12 for all of them:
// one segment or group per character.
Table CharacterMap(const std::vector<char32_t>& characters) {
  std::vector<std::uint32_t> basic;
  for (char32_t c : characters)
    if (c < 0xFFFF) basic.push_back(c);
  basic.push_back(0xFFFF);  // the closing segment that format 4 requires
  const auto segments = static_cast<std::uint32_t>(basic.size());
  std::uint32_t power = 1, log = 0;
  while (power * 2 <= segments) power *= 2, ++log;
  Table format4;
  format4.U16(4).U16(16 + 8 * segments).U16(0).U16(2 * segments).U16(2 * power).U16(log)
      .U16(2 * segments - 2 * power);
  for (std::uint32_t c : basic) format4.U16(c);
  format4.U16(0);
  for (std::uint32_t c : basic) format4.U16(c);
  for (std::uint32_t c : basic) format4.U16(c == 0xFFFF ? 1 : (kSquareGlyph - c) & 0xFFFF);
  format4.Repeat(0, static_cast<int>(segments));

  Table format12;
  const auto groups = static_cast<std::uint32_t>(characters.size());
  format12.U16(12).U16(0).U32(16 + 12 * groups).U32(0).U32(groups);
  for (char32_t c : characters) format12.U32(c).U32(c).U32(kSquareGlyph);

  Table map;
  map.U16(0).U16(2);
  map.U16(3).U16(1).U32(4 + 2 * 8);                              // Windows, Unicode BMP
  map.U16(3).U16(10).U32(4 + 2 * 8 + format4.Data.size());       // Windows, full Unicode
  map.Data.insert(map.Data.end(), format4.Data.begin(), format4.Data.end());
  map.Data.insert(map.Data.end(), format12.Data.begin(), format12.Data.end());
  return map;
}

Table Names(const std::u16string& family) {
  const std::u16string postScript = [&] {
    std::u16string name = family;
    name.erase(std::remove(name.begin(), name.end(), u' '), name.end());
    return name;
  }();
  const std::pair<int, std::u16string> names[] = {
      {1, family}, {2, u"Regular"}, {4, family}, {6, postScript}};
  Table table, strings;
  table.U16(0).U16(4).U16(6 + 12 * 4);
  for (const auto& [id, text] : names) {
    table.U16(3).U16(1).U16(0x0409).U16(id);
    table.U16(2 * text.size()).U16(strings.Data.size());
    for (char16_t c : text) strings.U16(c);
  }
  table.Data.insert(table.Data.end(), strings.Data.begin(), strings.Data.end());
  return table;
}

// The square, one contour of four points on the curve, as deltas.
Table Glyphs() {
  Table glyph;
  glyph.U16(1).U16(100).U16(0).U16(900).U16(700);  // contours, bounding box
  glyph.U16(3).U16(0);                             // last point, no instructions
  for (int i = 0; i < 4; ++i) glyph.Data.push_back(0x01);
  glyph.U16(100).U16(0).U16(800).U16(0);
  glyph.U16(0).U16(700).U16(0).U16(-700 & 0xFFFF);
  return glyph;
}
}  // namespace

std::vector<unsigned char> MakeTestFont(const std::u16string& family,
                                        std::vector<char32_t> characters) {
  std::sort(characters.begin(), characters.end());
  const Table glyphs = Glyphs();
  Table os2;
  os2.U16(1).U16(800).U16(400).U16(5).U16(0).Repeat(0, 11);  // version 1, regular
  for (int i = 0; i < 10; ++i) os2.Data.push_back(0);          // no PANOSE class
  os2.U32(1).U32(0).U32(0).U32(0);                             // Basic Latin
  for (char c : {'T', 'E', 'S', 'T'}) os2.Data.push_back(static_cast<unsigned char>(c));
  os2.U16(0x40).U16(0x20).U16(0xFFFF).U16(800).U16(-200 & 0xFFFF).U16(0).U16(800).U16(200);
  os2.U32(1).U32(0);  // the Latin 1 code page

  std::vector<std::pair<const char*, Table>> tables;
  tables.push_back({"OS/2", os2});
  tables.push_back({"cmap", CharacterMap(characters)});
  tables.push_back({"glyf", glyphs});
  tables.push_back({"head", Table{}
                                .U32(kVersion1).U32(kVersion1).U32(0).U32(0x5F0F3CF5).U16(0x000B)
                                .U16(1000).Repeat(0, 8).U16(100).U16(0).U16(900).U16(700)
                                .U16(0).U16(8).U16(2).U16(0).U16(0)});
  tables.push_back({"hhea", Table{}
                                .U32(kVersion1).U16(800).U16(-200 & 0xFFFF).U16(0).U16(1000)
                                .U16(0).U16(0).U16(900).U16(1).U16(0).U16(0).Repeat(0, 4)
                                .U16(0).U16(2)});
  tables.push_back({"hmtx", Table{}.U16(1000).U16(0).U16(1000).U16(100)});
  tables.push_back({"loca", Table{}.U16(0).U16(0).U16(glyphs.Data.size() / 2)});
  tables.push_back({"maxp", Table{}.U32(kVersion1).U16(2).U16(4).U16(1).Repeat(0, 2).U16(2)
                                .Repeat(0, 8)});
  tables.push_back({"name", Names(family)});
  tables.push_back({"post", Table{}.U32(0x00030000).U32(0).U16(-100 & 0xFFFF).U16(50)
                                .Repeat(0, 10)});

  const auto count = static_cast<std::uint32_t>(tables.size());
  std::uint32_t power = 1, log = 0;
  while (power * 2 <= count) power *= 2, ++log;
  Table font;
  font.U32(kVersion1).U16(count).U16(16 * power).U16(log).U16(16 * count - 16 * power);
  std::uint32_t offset = 12 + 16 * count;
  for (auto& [tag, table] : tables) {
    for (int i = 0; i < 4; ++i) font.Data.push_back(static_cast<unsigned char>(tag[i]));
    font.U32(CheckSum(table.Data)).U32(offset).U32(table.Data.size());
    table.Data.resize((table.Data.size() + 3) / 4 * 4, 0);
    offset += table.Data.size();
  }
  std::size_t headAt = 0;
  for (const auto& [tag, table] : tables) {
    if (std::string(tag) == "head") headAt = font.Data.size();
    font.Data.insert(font.Data.end(), table.Data.begin(), table.Data.end());
  }
  const std::uint32_t adjustment = 0xB1B0AFBA - CheckSum(font.Data);
  for (int i = 0; i < 4; ++i)
    font.Data[headAt + 8 + i] = static_cast<unsigned char>(adjustment >> (24 - 8 * i));
  return font.Data;
}

InstalledTestFont::InstalledTestFont(const std::u16string& family,
                                     const std::vector<char32_t>& characters) {
  wchar_t folder[MAX_PATH] = {}, file[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"fnt", 0, file);
  file_ = FromW(file);
  const std::vector<unsigned char> bytes = MakeTestFont(family, characters);
  HANDLE handle = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(handle);
  installed_ = written == bytes.size() && AddFontResourceExW(file, FR_PRIVATE, nullptr) > 0;
}

InstalledTestFont::~InstalledTestFont() {
  if (installed_) RemoveFontResourceExW(W(file_), FR_PRIVATE, nullptr);
  DeleteFileW(W(file_));
}
