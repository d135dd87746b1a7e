// WinSys against Wine's registry. Every check reads the registry back through the plain
// Win32 calls, in the 32-bit view where the program's keys live.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "system/winSys.h"
#include "tests/win/importHook.h"
#include "tests/win/winTestSupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::u16string UserBase = u"Software\\OrvelinTests";           // below HKEY_CURRENT_USER
const std::u16string MachineKey = u"Software\\OrvelinTestsWinSys";   // below HKEY_LOCAL_MACHINE

void PutRaw(std::uint32_t root, const std::u16string& path, const std::u16string& name, DWORD type,
            const Bytes& data) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(Root(root), W(path), 0, nullptr, 0, KEY_WRITE | View32, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(key, W(name), 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
  RegCloseKey(key);
}

void DeleteTree(std::uint32_t root, const std::u16string& path, REGSAM view = View32) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(Root(root), W(path), 0, KEY_ALL_ACCESS | view, &key) == ERROR_SUCCESS) {
    RegDeleteTreeW(key, nullptr);
    RegCloseKey(key);
  }
  RegDeleteKeyExW(Root(root), W(path), view, 0);
}

Bytes Utf16Bytes(std::u16string_view text) {
  Bytes bytes(text.size() * 2);
  std::memcpy(bytes.data(), text.data(), bytes.size());
  return bytes;
}

class WinSysRegistry : public testing::Test {
protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    DeleteTree(RegRoot::CurrentUser, UserBase);
    DeleteTree(RegRoot::LocalMachine, MachineKey);
    DeleteTree(RegRoot::LocalMachine, MachineKey, View64);  // never written there, unless by a fault
  }

  WinSys sys;
};

TEST_F(WinSysRegistry, ValidateCreatesEveryMissingLevelAndKeepsAnExistingKey) {
  const std::u16string path = UserBase + u"\\Un\\Deux\\Trois";
  EXPECT_FALSE(sys.RegInfoKeyExists(RegRoot::CurrentUser, path));
  sys.ValidateRegInfoKey(RegRoot::CurrentUser, path);
  EXPECT_TRUE(KeyPresent(RegRoot::CurrentUser, path));
  EXPECT_TRUE(sys.RegInfoKeyExists(RegRoot::CurrentUser, path));

  PutRaw(RegRoot::CurrentUser, path, u"Garde", REG_SZ, Utf16Bytes(u"oui"));
  sys.ValidateRegInfoKey(RegRoot::CurrentUser, u"\\" + path);  // a leading "\" names the same key
  EXPECT_TRUE(ReadRaw(RegRoot::CurrentUser, path, u"Garde").has_value());
  EXPECT_TRUE(sys.RegInfoKeyExists(RegRoot::CurrentUser, u"\\" + path));
}

TEST_F(WinSysRegistry, ReadGivesEachTypeItsText) {
  struct Case {
    const char* what;
    DWORD type;
    Bytes data;
    std::u16string expected;
  };
  const Case cases[] = {
      {"text", REG_SZ, Utf16Bytes(std::u16string(u"C:\\Program Files (x86)\\Brasmoor\0", 33)),
       u"C:\\Program Files (x86)\\Brasmoor"},
      {"text cut at its first null", REG_SZ, Utf16Bytes(std::u16string(u"ab\0cd\0", 6)), u"ab"},
      {"text without terminating null", REG_SZ, Utf16Bytes(u"xyz"), u"xyz"},
      {"text of an odd byte count", REG_SZ, {'a', 0, 'b', 0, 'c'}, u"ab"},
      {"expandable text, not expanded", REG_EXPAND_SZ, Utf16Bytes(std::u16string(u"%TEMP%\\x\0", 9)),
       u"%TEMP%\\x"},
      {"number 1", REG_DWORD, {1, 0, 0, 0}, u"1"},
      {"number 0xFFFFFFFF", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, u"-1"},
      {"number 0x80000000", REG_DWORD, {0, 0, 0, 0x80}, u"-2147483648"},
      {"number of 2 bytes", REG_DWORD, {1, 0}, u"01,00"},
      {"binary", REG_BINARY, {0x01, 0xAB}, u"01,AB"},
      {"multi-string", REG_MULTI_SZ, Utf16Bytes(std::u16string(u"a\0b\0\0", 5)),
       u"61,00,00,00,62,00,00,00,00,00"},
      {"64-bit number", REG_QWORD, {8, 7, 6, 5, 4, 3, 2, 1}, u"08,07,06,05,04,03,02,01"},
      {"none", REG_NONE, {0xFF, 0x00}, u"FF,00"},
      {"empty text", REG_SZ, {}, u""},
      {"empty binary", REG_BINARY, {}, u""},
  };
  const std::u16string path = UserBase + u"\\Types";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PutRaw(RegRoot::CurrentUser, path, u"Valeur", c.type, c.data);
    EXPECT_EQ(sys.GetRegInfoValue(RegRoot::CurrentUser, path, u"Valeur"), c.expected);
  }
}

TEST_F(WinSysRegistry, ReadOfWhatIsMissingIsEmptyAndCreatesNothing) {
  const std::u16string missingKey = UserBase + u"\\Absente\\Plus";
  EXPECT_EQ(sys.GetRegInfoValue(RegRoot::CurrentUser, missingKey, u"InstallDir"), u"");
  EXPECT_FALSE(KeyPresent(RegRoot::CurrentUser, missingKey));
  EXPECT_FALSE(KeyPresent(RegRoot::CurrentUser, UserBase));

  PutRaw(RegRoot::CurrentUser, UserBase, u"Autre", REG_SZ, Utf16Bytes(u"x"));
  EXPECT_EQ(sys.GetRegInfoValue(RegRoot::CurrentUser, UserBase, u"InstallDir"), u"");
  EXPECT_EQ(sys.GetRegInfoValue(RegRoot::CurrentUser, UserBase, u""), u"");  // no default value
}

TEST_F(WinSysRegistry, WritesCreateTheKeysAndStoreExactData) {
  const std::u16string path = UserBase + u"\\Nouvelle\\Clé";
  const std::u16string text = u"C:\\Orvelin Projets\\Échéances";
  sys.SetRegInfoStr(RegRoot::CurrentUser, path, u"ProjDir", text);
  sys.SetRegInfoInt(RegRoot::CurrentUser, path, u"NoModify", 0x01020304);
  sys.SetRegInfoInt(RegRoot::CurrentUser, path, u"Negatif", -2);

  const auto stored = ReadRaw(RegRoot::CurrentUser, path, u"ProjDir");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->Type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(stored->Data.size(), 2 * (text.size() + 1));  // with its terminating null
  EXPECT_EQ(stored->Data, Utf16Bytes(std::u16string(text) + u'\0'));

  const auto number = ReadRaw(RegRoot::CurrentUser, path, u"NoModify");
  ASSERT_TRUE(number.has_value());
  EXPECT_EQ(number->Type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(number->Data, (Bytes{0x04, 0x03, 0x02, 0x01}));
  EXPECT_EQ(ReadRaw(RegRoot::CurrentUser, path, u"Negatif").value().Data, (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));

  EXPECT_EQ(sys.GetRegInfoValue(RegRoot::CurrentUser, path, u"ProjDir"), text);
  EXPECT_EQ(sys.GetRegInfoValue(RegRoot::CurrentUser, path, u"Negatif"), u"-2");
}

TEST_F(WinSysRegistry, WritesReplaceAValueOfAnotherType) {
  PutRaw(RegRoot::CurrentUser, UserBase, u"Nom", REG_BINARY, {1, 2, 3});
  PutRaw(RegRoot::CurrentUser, UserBase, u"Nombre", REG_SZ, Utf16Bytes(std::u16string(u"12\0", 3)));
  sys.SetRegInfoStr(RegRoot::CurrentUser, UserBase, u"Nom", u"Orvelin");
  sys.SetRegInfoInt(RegRoot::CurrentUser, UserBase, u"Nombre", 12);
  EXPECT_EQ(ReadRaw(RegRoot::CurrentUser, UserBase, u"Nom").value().Type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(ReadRaw(RegRoot::CurrentUser, UserBase, u"Nombre").value().Type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(sys.GetRegInfoValue(RegRoot::CurrentUser, UserBase, u"Nom"), u"Orvelin");
  EXPECT_EQ(sys.GetRegInfoValue(RegRoot::CurrentUser, UserBase, u"Nombre"), u"12");
}

TEST_F(WinSysRegistry, AnEmptyNameIsTheDefaultValueAndAnEmptyPathTheRootItself) {
  sys.SetRegInfoStr(RegRoot::CurrentUser, UserBase, u"", u"défaut");
  const auto byDefault = ReadRaw(RegRoot::CurrentUser, UserBase, u"");
  ASSERT_TRUE(byDefault.has_value());
  EXPECT_EQ(byDefault->Data, Utf16Bytes(std::u16string(u"défaut\0", 7)));
  EXPECT_EQ(sys.GetRegInfoValue(RegRoot::CurrentUser, UserBase, u""), u"défaut");

  const std::u16string rootValue = u"OrvelinTestsValeurRacine";
  sys.SetRegInfoInt(RegRoot::CurrentUser, u"", rootValue, 7);
  const auto inRoot = ReadRaw(RegRoot::CurrentUser, u"", rootValue);
  RegDeleteValueW(HKEY_CURRENT_USER, W(rootValue));
  ASSERT_TRUE(inRoot.has_value());
  EXPECT_EQ(inRoot->Data, (Bytes{7, 0, 0, 0}));
}

TEST_F(WinSysRegistry, RemoveDeletesAKeyWithValuesOnlyAndLeavesAKeyWithASubkey) {
  const std::u16string leaf = UserBase + u"\\Feuille";
  const std::u16string parent = UserBase + u"\\Parent";
  PutRaw(RegRoot::CurrentUser, leaf, u"InstallDir", REG_SZ, Utf16Bytes(u"x"));
  PutRaw(RegRoot::CurrentUser, leaf, u"NoModify", REG_DWORD, {1, 0, 0, 0});
  PutRaw(RegRoot::CurrentUser, parent, u"Garde", REG_SZ, Utf16Bytes(u"oui"));
  PutRaw(RegRoot::CurrentUser, parent + u"\\Enfant", u"Garde", REG_SZ, Utf16Bytes(u"aussi"));

  sys.RemoveRegInfoKey(RegRoot::CurrentUser, leaf);
  EXPECT_FALSE(KeyPresent(RegRoot::CurrentUser, leaf));

  EXPECT_EQ(ErrorOf([&] { sys.RemoveRegInfoKey(RegRoot::CurrentUser, parent); }), u"(no error)");
  EXPECT_TRUE(ReadRaw(RegRoot::CurrentUser, parent, u"Garde").has_value());
  EXPECT_TRUE(ReadRaw(RegRoot::CurrentUser, parent + u"\\Enfant", u"Garde").has_value());

  EXPECT_EQ(ErrorOf([&] { sys.RemoveRegInfoKey(RegRoot::CurrentUser, UserBase + u"\\Absente"); }),
            u"(no error)");
  EXPECT_EQ(ErrorOf([&] { sys.RemoveRegInfoKey(RegRoot::CurrentUser, u""); }), u"(no error)");
  EXPECT_TRUE(KeyPresent(RegRoot::CurrentUser, u"Software"));
}

TEST_F(WinSysRegistry, RefusedWritesAndCreationsRaiseTheirErrors) {
  // Handle values that are no registry root, a value name beyond the registry's 16383
  // characters and a key name beyond its length limit: the system refuses each of them.
  const std::uint32_t noRoot = 0x12345678;
  const std::u16string tooLongName(16384, u'n');
  const std::u16string tooLongKey = UserBase + u"\\" + std::u16string(1000, u'k');

  EXPECT_EQ(ErrorOf([&] { sys.SetRegInfoStr(noRoot, u"Software\\Brasmoor", u"DisplayName", u"Orvelin"); }),
            u"Echec à la définition des données pour 'DisplayName'");
  EXPECT_EQ(ErrorOf([&] { sys.SetRegInfoInt(noRoot, u"", u"NoRepair", 1); }),
            u"Echec à la définition des données pour 'NoRepair'");
  EXPECT_EQ(ErrorOf([&] { sys.SetRegInfoStr(RegRoot::CurrentUser, tooLongKey, u"ProjDir", u"x"); }),
            u"Echec à la définition des données pour 'ProjDir'");
  EXPECT_EQ(ErrorOf([&] { sys.SetRegInfoStr(RegRoot::CurrentUser, UserBase, tooLongName, u"x"); }),
            u"Echec à la définition des données pour '" + tooLongName + u"'");
  EXPECT_EQ(ErrorOf([&] { sys.SetRegInfoInt(RegRoot::CurrentUser, UserBase, tooLongName, 1); }),
            u"Echec à la définition des données pour '" + tooLongName + u"'");
  EXPECT_FALSE(ReadRaw(RegRoot::CurrentUser, UserBase, tooLongName).has_value());

  EXPECT_EQ(ErrorOf([&] { sys.ValidateRegInfoKey(RegRoot::CurrentUser, tooLongKey); }),
            u"Echec à la création de la clé " + tooLongKey);
  EXPECT_EQ(ErrorOf([&] { sys.ValidateRegInfoKey(noRoot, u"Software\\Brasmoor"); }),
            u"Echec à la création de la clé Software\\Brasmoor");

  // Reads and tests of what cannot be opened answer neutrally.
  EXPECT_FALSE(sys.RegInfoKeyExists(noRoot, u"Software"));
  EXPECT_EQ(sys.GetRegInfoValue(noRoot, u"Software", u"x"), u"");
  EXPECT_EQ(ErrorOf([&] { sys.RemoveRegInfoKey(noRoot, u"Software\\Brasmoor"); }), u"(no error)");
}

// The value goes between the question for its size and the reading of its data, as when
// another program deletes it at that moment: the reading fails and raises its error.
using QueryFn = LONG(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
QueryFn systemQuery = nullptr;
std::u16string vanishingKey;
LONG WINAPI QueryWhileTheValueGoes(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type,
                                   LPBYTE data, LPDWORD size) {
  if (data) RegDeleteKeyValueW(HKEY_CURRENT_USER, W(vanishingKey), name);
  return systemQuery(key, name, reserved, type, data, size);
}

TEST_F(WinSysRegistry, AReadThatFailsAfterTheValueWasFoundRaisesItsError) {
  vanishingKey = UserBase;
  PutRaw(RegRoot::CurrentUser, UserBase, u"InstallDir", REG_SZ, Utf16Bytes(u"C:\\Brasmoor"));
  {
    const ImportHook hook("ADVAPI32.dll", "RegQueryValueExW",
                          reinterpret_cast<void*>(&QueryWhileTheValueGoes));
    ASSERT_TRUE(hook.Installed());
    systemQuery = hook.Original<QueryFn>();
    EXPECT_EQ(ErrorOf([&] { sys.GetRegInfoValue(RegRoot::CurrentUser, UserBase, u"InstallDir"); }),
              u"Echec à l'obtention des données pour 'InstallDir'");
  }
  EXPECT_FALSE(ReadRaw(RegRoot::CurrentUser, UserBase, u"InstallDir").has_value());
}

TEST_F(WinSysRegistry, MachineWideKeysLiveInThe32BitView) {
  sys.SetRegInfoStr(RegRoot::LocalMachine, MachineKey, u"DisplayName", u"Orvelin");
  sys.SetRegInfoInt(RegRoot::LocalMachine, MachineKey, u"NoModify", 1);

  const auto name = ReadRaw(RegRoot::LocalMachine, MachineKey, u"DisplayName", View32);
  ASSERT_TRUE(name.has_value());
  EXPECT_EQ(name->Data, Utf16Bytes(std::u16string(u"Orvelin\0", 8)));
  EXPECT_FALSE(KeyPresent(RegRoot::LocalMachine, MachineKey, View64));
  const std::u16string redirected = u"Software\\WOW6432Node\\OrvelinTestsWinSys";
  EXPECT_TRUE(ReadRaw(RegRoot::LocalMachine, redirected, u"NoModify", View64).has_value());
  EXPECT_EQ(sys.GetRegInfoValue(RegRoot::LocalMachine, MachineKey, u"NoModify"), u"1");

  sys.RemoveRegInfoKey(RegRoot::LocalMachine, MachineKey);
  EXPECT_FALSE(KeyPresent(RegRoot::LocalMachine, MachineKey, View32));
}

}  // namespace
