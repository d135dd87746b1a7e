// The publisher's tool around a built setup program:
//
//   payload-inspect version ORVELIN.EXE [STATED]
//     prints the file version of the application (a.b.c.d, from its version record), the
//     version that the setup program carries. STATED, when given, must agree with it, and
//     stands in for it where the program has no version record.
//
//   payload-inspect verify SETUP_ORVELIN.EXE
//     checks what a finished setup program carries, read from its own file: the two
//     archives as one line of upper-case hexadecimal text, their fixed form, every entry's
//     name under the installer's rules and its CRC-32 by decompressing it, and the
//     version text against the packed application's and the program's own version
//     records. Prints a summary; names the first fault and exits with 1.
#include <zlib.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "install/zipFormat.h"
#include "tools/peImage.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

struct Fault : std::runtime_error {
  using std::runtime_error::runtime_error;
};

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Fault("cannot open " + path);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Text(std::span<const std::uint8_t> data) { return std::string(data.begin(), data.end()); }

// The hexadecimal text of an archive resource, decoded after its form is checked.
Bytes DecodeHex(const std::string& resource, std::span<const std::uint8_t> text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = static_cast<char>(text[i]);
    if (c == '\r' || c == '\n') throw Fault(resource + ": a line break at offset " + std::to_string(i));
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
      throw Fault(resource + ": not an upper-case hexadecimal digit at offset " + std::to_string(i));
  }
  if (text.size() % 2 != 0) throw Fault(resource + ": an odd number of digits");
  if (Text(text.first(std::min<std::size_t>(8, text.size()))) != "504B0304")
    throw Fault(resource + ": does not begin with a ZIP local header");
  const auto digit = [](std::uint8_t c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
  Bytes bytes(text.size() / 2);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<std::uint8_t>(digit(text[2 * i]) << 4 | digit(text[2 * i + 1]));
  return bytes;
}

// The deflated data of an entry, inflated whole; its size and CRC-32 checked.
Bytes Inflate(const std::string& entry, std::span<const std::uint8_t> deflated, std::uint32_t size,
              std::uint32_t crc) {
  Bytes out(size);
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw Fault("out of memory");
  z.next_in = const_cast<Bytef*>(deflated.data());
  z.avail_in = static_cast<uInt>(deflated.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int status = inflate(&z, Z_FINISH);
  const bool whole = status == Z_STREAM_END && z.avail_in == 0 && z.avail_out == 0;
  inflateEnd(&z);
  if (!whole) throw Fault(entry + ": its deflated data is damaged or has another size");
  if (crc32(0, out.data(), static_cast<uInt>(out.size())) != crc) throw Fault(entry + ": its CRC-32 does not match");
  return out;
}

struct ArchiveSummary {
  std::size_t Entries = 0;
  std::uint64_t Unpacked = 0;
  Bytes Application;  // the top-level Orvelin.exe, when the archive holds it
};

// The archive in the exact form that the packager writes and the installer reads.
ArchiveSummary CheckArchive(const std::string& resource, const Bytes& zipBytes) {
  using zip::CentralHeader, zip::EndRecord, zip::LocalHeader;
  const auto fault = [&](const std::string& what) { throw Fault(resource + ": " + what); };
  if (zipBytes.size() < EndRecord::kSize) fault("too short for an archive");
  const std::size_t endAt = zipBytes.size() - EndRecord::kSize;
  if (zip::Get32(&zipBytes[endAt]) != zip::kEndSignature) fault("no end record at the end (or a comment)");
  const EndRecord end = zip::Read<EndRecord>(&zipBytes[endAt]);
  if (end.CommentLength != 0 || end.Disk != 0 || end.CentralDisk != 0 || end.EntriesOnDisk != end.Entries)
    fault("its end record is not that of a one-volume archive without comment");
  if (std::uint64_t{end.CentralOffset} + end.CentralSize != endAt) fault("its central directory is misplaced");

  ArchiveSummary summary;
  std::size_t at = end.CentralOffset;
  std::uint64_t nextLocal = 0;
  for (unsigned i = 0; i < end.Entries; ++i) {
    if (endAt - at < CentralHeader::kSize || zip::Get32(&zipBytes[at]) != zip::kCentralSignature)
      fault("its central directory is damaged");
    const CentralHeader h = zip::Read<CentralHeader>(&zipBytes[at]);
    if (endAt - at - CentralHeader::kSize < h.NameLength) fault("its central directory is damaged");
    const std::string name(zipBytes.begin() + at + CentralHeader::kSize,
                           zipBytes.begin() + at + CentralHeader::kSize + h.NameLength);
    const std::string entry = resource + " \"" + name + "\"";
    at += CentralHeader::kSize + h.NameLength + h.ExtraLength + h.CommentLength;

    if (h.VersionMadeBy != zip::kVersion20 || h.VersionNeeded != zip::kVersion20)
      throw Fault(entry + ": not made by version 20 on MS-DOS");
    if (h.Flags != zip::kFlagUtf8) throw Fault(entry + ": flags other than UTF-8 names");
    if (h.Method != zip::kMethodDeflate) throw Fault(entry + ": not deflated");
    if (h.ExtraLength != 0 || h.CommentLength != 0 || h.DiskStart != 0 || h.InternalAttributes != 0)
      throw Fault(entry + ": extra fields, a comment or another volume");
    if (h.ExternalAttributes != zip::kDosArchive) throw Fault(entry + ": attributes other than the archive bit");
    if (zip::CheckEntryName(name) != zip::NameFault::None) throw Fault(entry + ": a name the installer refuses");
    if (!zip::IsValidDosStamp({h.Date, h.Time})) throw Fault(entry + ": an invalid date");

    // Its local header comes next in the file and repeats what the directory says.
    if (h.LocalHeaderOffset != nextLocal || nextLocal + LocalHeader::kSize + h.NameLength > end.CentralOffset ||
        zip::Get32(&zipBytes[nextLocal]) != zip::kLocalSignature)
      throw Fault(entry + ": its local header is missing or misplaced");
    const LocalHeader l = zip::Read<LocalHeader>(&zipBytes[nextLocal]);
    const auto localName = std::span(zipBytes).subspan(nextLocal + LocalHeader::kSize, h.NameLength);
    if (l.VersionNeeded != h.VersionNeeded || l.Flags != h.Flags || l.Method != h.Method || l.Time != h.Time ||
        l.Date != h.Date || l.Crc32 != h.Crc32 || l.CompressedSize != h.CompressedSize || l.Size != h.Size ||
        l.NameLength != h.NameLength || l.ExtraLength != 0 || Text(localName) != name)
      throw Fault(entry + ": its local header differs from the central directory");
    const std::uint64_t data = nextLocal + LocalHeader::kSize + l.NameLength;
    if (data + h.CompressedSize > end.CentralOffset) throw Fault(entry + ": its data runs past the archive");
    const Bytes content = Inflate(entry, std::span(zipBytes).subspan(data, h.CompressedSize), h.Size, h.Crc32);
    nextLocal = data + h.CompressedSize;

    ++summary.Entries;
    summary.Unpacked += h.Size;
    if (name == "Orvelin.exe") summary.Application = content;
  }
  if (at != endAt || nextLocal != end.CentralOffset) fault("bytes outside its records");
  return summary;
}

int Version(const std::string& program, const std::string& stated) {
  const std::optional<std::string> found = pe::FileVersion(ReadFile(program));
  if (found && !stated.empty() && *found != stated)
    throw Fault("the version stated, " + stated + ", differs from " + program + "'s, " + *found);
  if (!found && stated.empty())
    throw Fault(program + " carries no version record: state the version (ORVELIN_VERSION)");
  std::cout << (found ? *found : stated) << "\n";
  return 0;
}

int Verify(const std::string& program) {
  const Bytes image = ReadFile(program);
  const auto resources = pe::ReadResources(image);
  const auto resource = [&](const std::string& name) {
    const pe::Resource* found = pe::Find(resources, pe::kRcData, name);
    if (!found) throw Fault(name + " is missing");
    return found->Data;
  };

  ArchiveSummary program1;
  for (const std::string name : {"RESOURCE_1", "RESOURCE_2"}) {
    const Bytes archive = DecodeHex(name, resource(name));
    const ArchiveSummary summary = CheckArchive(name, archive);
    std::cout << name << ": " << summary.Entries << " entries, archive " << archive.size() << " bytes, unpacked "
              << summary.Unpacked << " bytes\n";
    if (name == "RESOURCE_1") program1 = summary;
  }

  const std::string version = Text(resource("RESOURCE_3"));
  if (version.find_first_of("\r\n") != std::string::npos) throw Fault("RESOURCE_3: a line break in the version");
  if (program1.Application.empty()) throw Fault("RESOURCE_1 holds no Orvelin.exe");
  const std::optional<std::string> application = pe::FileVersion(program1.Application);
  if (!application) throw Fault("the packed Orvelin.exe carries no version record");
  if (*application != version)
    throw Fault("RESOURCE_3 says " + version + ", the packed Orvelin.exe " + *application);
  if (pe::FileVersion(image) != version) throw Fault("the setup program's own version record is not " + version);
  std::cout << "version " << version << ": the packed Orvelin.exe's and the setup program's\n";
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() >= 2 && args.size() <= 3 && args[0] == "version") return Version(args[1], args.size() == 3 ? args[2] : "");
    if (args.size() == 2 && args[0] == "verify") return Verify(args[1]);
    std::cerr << "usage: payload-inspect version ORVELIN.EXE [STATED]\n"
                 "       payload-inspect verify SETUP_ORVELIN.EXE\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "payload-inspect: " << e.what() << "\n";
    return 1;
  }
}
