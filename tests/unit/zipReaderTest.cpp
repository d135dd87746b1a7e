#include "install/zipReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "install/zipFormat.h"
#include "tests/support/fileLink.h"
#include "tests/support/fileStamp.h"
#include "tests/support/tempDir.h"
#include "tools/zipWriter.h"
#include "util/appError.h"
#include "util/fileSystem.h"
#include "util/textCodec.h"

using fsys::PathSep;
using Bytes = std::vector<std::uint8_t>;

namespace {
std::u16string Join(std::u16string a, const std::u16string& b) { return a + PathSep + b; }

Bytes AsBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

// Larger than the reader's buffers and not compressible, so that the data of this entry
// is read and inflated in several rounds.
Bytes Noise(std::size_t size) {
  Bytes data(size);
  std::uint32_t x = 2463534242u;
  for (auto& b : data) {
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    b = static_cast<std::uint8_t>(x);
  }
  return data;
}

struct Sample {
  std::string name;
  Bytes data;
  LocalDateTime modified;
};

const std::vector<Sample>& Samples() {
  static const std::vector<Sample> samples = {
      {"lisez-moi.txt", AsBytes("Orvelin 6.1\r\n"), {2023, 11, 4, 9, 30, 12, 0}},
      {"Aide/vide.htm", {}, {2024, 2, 29, 17, 5, 58, 0}},
      {"Aide/images/Écran été.png", Noise(400 * 1024), {2024, 7, 14, 12, 0, 0, 0}},
  };
  return samples;
}

Bytes SampleArchive() {
  ZipWriter writer;
  for (const Sample& s : Samples()) writer.Add(s.name, s.modified, s.data);
  return writer.Finish();
}

void Save(const std::u16string& path, const Bytes& bytes) {
  WriteAll(path, std::string(bytes.begin(), bytes.end()));
}

// Where the records of an archive of ours lie: the end record closes the file.
std::size_t EndAt(const Bytes& zip) { return zip.size() - zip::EndRecord::kSize; }
std::size_t CentralAt(const Bytes& zip, std::size_t index) {
  std::size_t at = zip::Get32(&zip[EndAt(zip) + zip::EndRecord::Offset::CentralOffset]);
  for (std::size_t i = 0; i < index; ++i)
    at += zip::CentralHeader::kSize + zip::Get16(&zip[at + zip::CentralHeader::Offset::NameLength]);
  return at;
}
std::size_t LocalAt(const Bytes& zip, std::size_t index) {
  return zip::Get32(&zip[CentralAt(zip, index) + zip::CentralHeader::Offset::LocalHeaderOffset]);
}
std::size_t DataAt(const Bytes& zip, std::size_t index) {
  const std::size_t local = LocalAt(zip, index);
  return local + zip::LocalHeader::kSize + zip::Get16(&zip[local + zip::LocalHeader::Offset::NameLength]);
}

// Changes a 16- or 32-bit field of entry index in both its headers.
void SetBoth16(Bytes& zip, std::size_t index, std::size_t local, std::size_t central, std::uint16_t value) {
  zip::Put16(&zip[LocalAt(zip, index) + local], value);
  zip::Put16(&zip[CentralAt(zip, index) + central], value);
}
void SetBoth32(Bytes& zip, std::size_t index, std::size_t local, std::size_t central, std::uint32_t value) {
  zip::Put32(&zip[LocalAt(zip, index) + local], value);
  zip::Put32(&zip[CentralAt(zip, index) + central], value);
}
std::uint32_t Central32(const Bytes& zip, std::size_t index, std::size_t field) {
  return zip::Get32(&zip[CentralAt(zip, index) + field]);
}

using L = zip::LocalHeader::Offset;
using C = zip::CentralHeader::Offset;
using E = zip::EndRecord::Offset;

std::set<std::u16string> Names(const std::u16string& folder) {
  std::set<std::u16string> names;
  for (const auto& e : fsys::ListDir(folder)) names.insert(e.Name);
  return names;
}
}  // namespace

TEST(ZipFormat, DosStampsRoundTripAndInvalidOnesAreRecognised) {
  const LocalDateTime t{2024, 2, 29, 23, 59, 58, 0};
  const zip::DosStamp s = zip::ToDosStamp(t);
  EXPECT_EQ(s.Date, (2024 - 1980) << 9 | 2 << 5 | 29);
  EXPECT_EQ(s.Time, 23 << 11 | 59 << 5 | 29);
  EXPECT_EQ(zip::FromDosStamp(s), t);
  EXPECT_TRUE(zip::IsValidDosStamp(s));
  EXPECT_EQ(zip::FromDosStamp(zip::ToDosStamp({2024, 1, 1, 8, 0, 7, 0})).Second, 6);  // two-second steps

  const zip::DosStamp invalid[] = {{0, 0},                                       // month 0
                                   {static_cast<std::uint16_t>(43 << 9 | 2 << 5 | 29), 0},  // 29/02/2023
                                   {static_cast<std::uint16_t>(44 << 9 | 4 << 5 | 31), 0},  // 31/04
                                   {static_cast<std::uint16_t>(44 << 9 | 1 << 5 | 1), 24 << 11},
                                   {static_cast<std::uint16_t>(44 << 9 | 1 << 5 | 1), 60 << 5}};
  for (const auto& stamp : invalid) EXPECT_FALSE(zip::IsValidDosStamp(stamp)) << stamp.Date << " " << stamp.Time;
}

TEST(ZipFormat, EntryNamesThatStayBelowTheDestination) {
  using zip::NameFault;
  const std::pair<const char*, NameFault> cases[] = {
      {"Orvelin.exe", NameFault::None},
      {"Aide/index.htm", NameFault::None},
      {"Projets/Chantier H\xC3\xB4tel de Ville/a b.prj", NameFault::None},
      {"CONTACT.txt", NameFault::None},
      {"COM10.log", NameFault::None},
      {"console/nulle.txt", NameFault::None},
      {".profil", NameFault::None},
      {"", NameFault::Empty},
      {"caf\xE9.txt", NameFault::NotUtf8},
      {"\xC0\xAF.txt", NameFault::NotUtf8},  // an overlong "/"
      {"a\\b.txt", NameFault::Backslash},
      {"..\\evil.txt", NameFault::Backslash},
      {"/etc/evil", NameFault::Absolute},
      {"//serveur/partage/x", NameFault::Absolute},
      {"C:/evil.txt", NameFault::Drive},
      {"c:evil.txt", NameFault::Drive},
      {"a//b.txt", NameFault::EmptyComponent},
      {"Aide/", NameFault::EmptyComponent},
      {"../evil.txt", NameFault::DotComponent},
      {"Aide/../../evil.txt", NameFault::DotComponent},
      {"./a.txt", NameFault::DotComponent},
      {"a:b.txt", NameFault::Drive},
      {"Aide/flux.txt:cache", NameFault::BadCharacter},
      {"a\x01.txt", NameFault::BadCharacter},
      {"quoi?.txt", NameFault::BadCharacter},
      {"fin.", NameFault::BadEnding},
      {"Aide /x.htm", NameFault::BadEnding},
      {"...", NameFault::BadEnding},
      {"CON", NameFault::Device},
      {"nul.txt", NameFault::Device},
      {"Aide/Aux .htm", NameFault::Device},
      {"lpt9", NameFault::Device},
      {"com\xC2\xB9.txt", NameFault::Device},
      {"Sub/conout$", NameFault::Device},
  };
  for (const auto& [name, fault] : cases) EXPECT_EQ(zip::CheckEntryName(name), fault) << name;
}

// The bounds of the whole-entry path under which the reader is tested: the product's
// (every sample entry whole), none (every entry streams through zlib, as the reader
// always did) and one between (the large entry streams, the small ones go whole).
const std::uint32_t kWholeLimits[] = {ZipReader::kWholeEntryLimit, 0, 1000};

TEST(ZipReader, ExtractsEveryEntryWithItsContentTimeAndAttributes) {
  for (const std::uint32_t limit : kWholeLimits) {
    SCOPED_TRACE(limit);
    TempDir tmp;
    Bytes zip = SampleArchive();
    // The last entry read-only, as an MS-DOS archive may say.
    zip::Put32(&zip[CentralAt(zip, 2) + C::ExternalAttributes], zip::kDosArchive | 0x01);
    Save(tmp / u"a.zip", zip);
    const auto dest = Join(tmp / u"nouveau", u"dossier");  // two missing levels

    ZipReader reader(tmp / u"a.zip");
    reader.SetWholeEntryLimit(limit);
    ASSERT_EQ(reader.Entries().size(), Samples().size());
    reader.ExtractAll(dest);
    reader.Close();

    for (std::size_t i = 0; i < Samples().size(); ++i) {
      const Sample& s = Samples()[i];
      const ZipEntry& entry = reader.Entries()[i];
      EXPECT_EQ(entry.Name, Utf8ToUtf16(s.name));
      EXPECT_EQ(entry.Size, s.data.size());
      std::u16string path = entry.Name;
      std::replace(path.begin(), path.end(), u'/', PathSep);
      path = Join(dest, path);
      EXPECT_EQ(ReadAll(path), std::string(s.data.begin(), s.data.end())) << s.name;
      const FileStamp stamp = ReadFileStamp(path);
      EXPECT_EQ(stamp.Modified, s.modified) << s.name;
      EXPECT_EQ(stamp.ReadOnly, i == 2) << s.name;
      if (stamp.DosAttributes) {
        EXPECT_EQ(*stamp.DosAttributes, i == 2 ? 0x21u : 0x20u) << s.name;
      }
    }
  }
}

TEST(ZipReader, FailingEntryLeavesNoFileAndEarlierEntriesStay) {
  TempDir tmp;
  Bytes zip = SampleArchive();
  SetBoth32(zip, 2, L::Crc32, C::Crc32, Central32(zip, 2, C::Crc32) ^ 1);
  Save(tmp / u"a.zip", zip);
  const auto dest = tmp / u"dest";
  ZipReader reader(tmp / u"a.zip");
  try {
    reader.ExtractAll(dest);
    FAIL() << "no error";
  } catch (const AppError& e) {
    EXPECT_NE(e.Message().find(u"CRC-32"), std::u16string::npos);
    EXPECT_NE(e.Message().find(u"Aide/images/Écran été.png"), std::u16string::npos);
  }
  EXPECT_TRUE(fsys::IsFile(Join(dest, u"lisez-moi.txt")));
  EXPECT_TRUE(fsys::IsFile(Join(Join(dest, u"Aide"), u"vide.htm")));
  EXPECT_EQ(Names(Join(Join(dest, u"Aide"), u"images")), std::set<std::u16string>{});
}

TEST(ZipReader, LinkAtAnEntryPathIsNeverWrittenThrough) {
  TempDir tmp;
  Save(tmp / u"a.zip", SampleArchive());
  WriteAll(tmp / u"outside.txt", "intact");
  const auto dest = tmp / u"dest";
  fsys::MakeDir(dest);
  const auto link = Join(dest, u"lisez-moi.txt");
  ASSERT_TRUE(MakeLink(link, tmp / u"outside.txt"));
  const bool seenAsLink = fsys::IsLink(link);
  ZipReader reader(tmp / u"a.zip");
  try {
    reader.ExtractAll(dest);
    // The link itself is replaced by the entry.
    EXPECT_TRUE(seenAsLink);
    EXPECT_FALSE(fsys::IsLink(link));
    EXPECT_EQ(ReadAll(link), "Orvelin 6.1\r\n");
  } catch (const AppError& e) {
    // Where the system sees the file through the link (Wine), the entry fails instead.
    EXPECT_FALSE(seenAsLink);
    EXPECT_NE(e.Message().find(u"lien symbolique"), std::u16string::npos);
  }
  EXPECT_EQ(ReadAll(tmp / u"outside.txt"), "intact");
}

// A folder of the destination replaced by a link to another place: the entries below it
// fail, and nothing is written where it leads.
TEST(ZipReader, AFolderLinkInTheDestinationLeadsNothingOutside) {
  TempDir tmp;
  Save(tmp / u"a.zip", SampleArchive());
  const auto outside = tmp / u"ailleurs";
  fsys::MakeDir(outside);
  const auto dest = tmp / u"dest";
  fsys::MakeDir(dest);
  ASSERT_TRUE(MakeLink(Join(dest, u"Aide"), outside));
  try {
    ZipReader(tmp / u"a.zip").ExtractAll(dest);
    FAIL() << "no error";
  } catch (const AppError& e) {
    EXPECT_NE(e.Message().find(u"\"" + Join(dest, u"Aide") + u"\" est un lien"), std::u16string::npos);
  }
  EXPECT_TRUE(fsys::IsFile(Join(dest, u"lisez-moi.txt"))) << "the entries before it stay";
  EXPECT_EQ(Names(outside), std::set<std::u16string>{});
}

// Every damaged archive gives its own error, naming the archive, and nothing is written
// outside the destination. Damage found before extraction writes nothing at all.
TEST(ZipReader, DamagedArchivesAreRefusedWithTheirError) {
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    std::u16string error;
    bool foundAtOpen = true;
  };
  const Case cases[] = {
      {"empty file", [](Bytes& z) { z.clear(); }, u"ce n'est pas une archive ZIP"},
      {"not an archive", [](Bytes& z) { z = AsBytes("Bonjour, ceci n'est pas une archive."); }, u"ce n'est pas une archive ZIP"},
      {"cut in the middle", [](Bytes& z) { z.resize(z.size() / 2); }, u"ce n'est pas une archive ZIP, ou elle est tronquée"},
      {"end record cut", [](Bytes& z) { z.resize(z.size() - 5); }, u"ce n'est pas une archive ZIP, ou elle est tronquée"},
      {"comment length beyond the end", [](Bytes& z) { zip::Put16(&z[EndAt(z) + E::CommentLength], 10); }, u"ce n'est pas une archive ZIP"},
      {"central directory outside the file",
       [](Bytes& z) { zip::Put32(&z[EndAt(z) + E::CentralOffset], static_cast<std::uint32_t>(z.size())); },
       u"son répertoire central sort du fichier"},
      {"central signature", [](Bytes& z) { z[CentralAt(z, 1)] ^= 0xFF; }, u"son répertoire central est endommagé"},
      {"more entries announced",
       [](Bytes& z) { zip::Put16(&z[EndAt(z) + E::Entries], 4); zip::Put16(&z[EndAt(z) + E::EntriesOnDisk], 4); },
       u"son répertoire central est endommagé"},
      {"fewer entries announced",
       [](Bytes& z) { zip::Put16(&z[EndAt(z) + E::Entries], 2); zip::Put16(&z[EndAt(z) + E::EntriesOnDisk], 2); },
       u"son répertoire central est endommagé"},
      {"name running past the directory", [](Bytes& z) { zip::Put16(&z[CentralAt(z, 2) + C::NameLength], 900); },
       u"son répertoire central est endommagé"},
      {"several volumes", [](Bytes& z) { zip::Put16(&z[EndAt(z) + E::Disk], 1); }, u"plusieurs volumes"},
      {"ZIP64 end record",
       [](Bytes& z) { zip::Put16(&z[EndAt(z) + E::Entries], 0xFFFF); zip::Put16(&z[EndAt(z) + E::EntriesOnDisk], 0xFFFF); },
       u"ZIP64"},
      {"ZIP64 sizes", [](Bytes& z) { SetBoth32(z, 1, L::Size, C::Size, 0xFFFFFFFF); }, u"ZIP64"},
      {"local signature", [](Bytes& z) { z[LocalAt(z, 1)] ^= 0xFF; }, u"son en-tête local est absent"},
      {"local header past the data",
       [](Bytes& z) { zip::Put32(&z[CentralAt(z, 1) + C::LocalHeaderOffset], static_cast<std::uint32_t>(CentralAt(z, 0))); },
       u"son en-tête local sort du fichier"},
      {"sizes disagree between the headers",
       [](Bytes& z) { zip::Put32(&z[LocalAt(z, 0) + L::CompressedSize], Central32(z, 0, C::CompressedSize) + 1); },
       u"son en-tête local ne correspond pas au répertoire central"},
      {"names disagree between the headers", [](Bytes& z) { z[LocalAt(z, 0) + zip::LocalHeader::kSize] = 'L'; },
       u"son en-tête local ne correspond pas au répertoire central"},
      {"data running into the central directory",
       [](Bytes& z) { SetBoth32(z, 2, L::CompressedSize, C::CompressedSize, Central32(z, 2, C::CompressedSize) + 100); },
       u"ses données sortent du fichier"},
      {"unsupported method", [](Bytes& z) { SetBoth16(z, 0, L::Method, C::Method, 12); },
       u"méthode de compression non prise en charge (12)"},
      {"stored entry", [](Bytes& z) { SetBoth16(z, 0, L::Method, C::Method, 0); },
       u"méthode de compression non prise en charge (0)"},
      {"encrypted", [](Bytes& z) { SetBoth16(z, 1, L::Flags, C::Flags, zip::kFlagUtf8 | zip::kFlagEncrypted); },
       u"elle est chiffrée"},
      {"data descriptor", [](Bytes& z) { SetBoth16(z, 1, L::Flags, C::Flags, zip::kFlagUtf8 | zip::kFlagDataDescriptor); },
       u"descripteur de données"},
      {"other flag", [](Bytes& z) { SetBoth16(z, 1, L::Flags, C::Flags, zip::kFlagUtf8 | 0x0020); },
       u"indicateurs non pris en charge (0x0820)"},
      {"non-UTF-8 name without the flag", [](Bytes& z) { SetBoth16(z, 2, L::Flags, C::Flags, 0); },
       u"son nom n'est pas codé en UTF-8"},
      {"invalid date", [](Bytes& z) { SetBoth16(z, 0, L::Date, C::Date, 0); }, u"sa date est invalide"},
      {"CRC-32", [](Bytes& z) { SetBoth32(z, 0, L::Crc32, C::Crc32, Central32(z, 0, C::Crc32) ^ 0x80); },
       u"le contrôle CRC-32 a échoué", false},
      {"size announced too large", [](Bytes& z) { SetBoth32(z, 0, L::Size, C::Size, Central32(z, 0, C::Size) + 1); },
       u"elle donne moins d'octets que sa taille annoncée", false},
      {"size announced too small", [](Bytes& z) { SetBoth32(z, 2, L::Size, C::Size, Central32(z, 2, C::Size) - 1); },
       u"elle donne plus d'octets que sa taille annoncée", false},
      {"invalid deflate block", [](Bytes& z) { z[DataAt(z, 0)] = 0xFF; },
       u"ses données compressées sont endommagées", false},
      {"deflate data cut short",
       [](Bytes& z) { SetBoth32(z, 2, L::CompressedSize, C::CompressedSize, Central32(z, 2, C::CompressedSize) / 2); },
       u"ses données compressées sont tronquées", false},
      {"bytes after the deflate data",
       [](Bytes& z) {
         // the empty entry: its two bytes of deflate data, then one byte more
         z.insert(z.begin() + static_cast<std::ptrdiff_t>(DataAt(z, 1) + 2), 0);
         zip::Put32(&z[EndAt(z) + E::CentralOffset], zip::Get32(&z[EndAt(z) + E::CentralOffset]) + 1);
         SetBoth32(z, 1, L::CompressedSize, C::CompressedSize, 3);
         zip::Put32(&z[CentralAt(z, 2) + C::LocalHeaderOffset], static_cast<std::uint32_t>(LocalAt(z, 2) + 1));
       },
       u"sa taille compressée ne correspond pas à ses données", false},
  };
  for (const std::uint32_t limit : kWholeLimits)
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SCOPED_TRACE(limit);
    TempDir tmp;
    Bytes zip = SampleArchive();
    c.damage(zip);
    Save(tmp / u"a.zip", zip);
    const auto dest = tmp / u"dest";
    try {
      ZipReader reader(tmp / u"a.zip");
      reader.SetWholeEntryLimit(limit);
      reader.ExtractAll(dest);
      ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
      EXPECT_NE(e.Message().find(c.error), std::u16string::npos) << Utf16ToUtf8(e.Message());
      EXPECT_NE(e.Message().find(u"\"" + (tmp / u"a.zip") + u"\""), std::u16string::npos) << Utf16ToUtf8(e.Message());
    }
    EXPECT_EQ(Names(tmp.Path()), (c.foundAtOpen ? std::set<std::u16string>{u"a.zip"}
                                                : std::set<std::u16string>{u"a.zip", u"dest"}));
  }
}

// An archive with a name that would leave the destination or name a device is refused
// as a whole: not even the harmless entries before it are written.
TEST(ZipReader, UnsafeNamesAreRefusedBeforeAnythingIsWritten) {
  const char* unsafe[] = {"../evil.txt",  "Aide/../../evil.txt", "/evil.txt", "C:/evil.txt",
                          "..\\evil.txt", "CON",                 "nul.txt",   "Aide/com1.log",
                          "LPT9.txt",     "a:evil",              "evil. ",    "Aide//x"};
  for (const char* name : unsafe) {
    SCOPED_TRACE(name);
    TempDir tmp;
    ZipWriter writer;
    writer.Add("harmless.txt", {2024, 1, 2, 3, 4, 6, 0}, AsBytes("ok"));
    writer.Add(name, {2024, 1, 2, 3, 4, 6, 0}, AsBytes("evil"));
    Save(tmp / u"a.zip", writer.Finish());
    const auto dest = Join(Join(tmp / u"dest", u"a"), u"b");
    try {
      ZipReader(tmp / u"a.zip").ExtractAll(dest);
      ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
      EXPECT_NE(e.Message().find(u"nom refusé"), std::u16string::npos) << Utf16ToUtf8(e.Message());
      EXPECT_NE(e.Message().find(u"\"" + Utf8ToUtf16(name) + u"\""), std::u16string::npos) << Utf16ToUtf8(e.Message());
    }
    EXPECT_EQ(Names(tmp.Path()), std::set<std::u16string>{u"a.zip"});
  }
}

TEST(ZipReader, MissingArchiveIsAnErrorNamingIt) {
  TempDir tmp;
  try {
    ZipReader reader(tmp / u"absent.zip");
    FAIL() << "no error";
  } catch (const AppError& e) {
    EXPECT_NE(e.Message().find(tmp / u"absent.zip"), std::u16string::npos);
  }
}

// The packager refuses an archive whose hexadecimal text would make the setup program
// too large for a PE image; a 1 GB archive (10^9 bytes) still fits.
TEST(ZipFormat, HexTextTooLargeForThePeImageIsRefused) {
  EXPECT_EQ(HexTextTooLarge(0), "");
  EXPECT_EQ(HexTextTooLarge(1'000'000'000), "");
  EXPECT_EQ(HexTextTooLarge(kMaxHexText / 2), "");
  EXPECT_NE(HexTextTooLarge(kMaxHexText / 2 + 1).find("too large for a PE image"), std::string::npos);
  EXPECT_NE(HexTextTooLarge(1ull << 30).find("2147483648 bytes"), std::string::npos);
  EXPECT_LT(kMaxHexText + 64 * 1024 * 1024, 0x80000000ull) << "an image stays below 2 GiB";
}
