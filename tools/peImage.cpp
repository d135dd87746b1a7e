#include "tools/peImage.h"

#include <algorithm>
#include <cctype>

namespace pe {
namespace {
// Little-endian reads, each checked against the image's end.
class Bytes {
public:
  explicit Bytes(std::span<const std::uint8_t> data) : data_(data) {}

  std::uint16_t U16(std::size_t at) const {
    Need(at, 2);
    return static_cast<std::uint16_t>(data_[at] | data_[at + 1] << 8);
  }
  std::uint32_t U32(std::size_t at) const { return U16(at) | static_cast<std::uint32_t>(U16(at + 2)) << 16; }
  std::span<const std::uint8_t> Span(std::size_t at, std::size_t size) const {
    Need(at, size);
    return data_.subspan(at, size);
  }
  std::size_t Size() const { return data_.size(); }

private:
  void Need(std::size_t at, std::size_t size) const {
    if (at > data_.size() || size > data_.size() - at) throw FormatError("a record lies outside the program");
  }
  std::span<const std::uint8_t> data_;
};

struct Section {
  std::uint32_t Address, Size, FileOffset;
};

class Image {
public:
  explicit Image(std::span<const std::uint8_t> data) : bytes_(data) {
    if (data.size() < 0x40 || data[0] != 'M' || data[1] != 'Z') throw FormatError("not a Windows program");
    const std::size_t header = bytes_.U32(0x3C);
    if (bytes_.U32(header) != 0x00004550) throw FormatError("not a PE image");
    const std::size_t sections = bytes_.U16(header + 6);
    const std::size_t optionalSize = bytes_.U16(header + 20);
    const std::size_t optional = header + 24;
    const std::uint16_t magic = bytes_.U16(optional);
    if (magic != 0x10B && magic != 0x20B) throw FormatError("unknown optional header");
    const bool plus = magic == 0x20B;  // PE32+
    const std::uint32_t directories = bytes_.U32(optional + (plus ? 108 : 92));
    if (directories > 2) resourceAddress_ = bytes_.U32(optional + (plus ? 112 : 96) + 2 * 8);
    for (std::size_t i = 0; i < sections; ++i) {
      const std::size_t at = optional + optionalSize + 40 * i;
      const std::uint32_t virtualSize = bytes_.U32(at + 8), rawSize = bytes_.U32(at + 16);
      sections_.push_back({bytes_.U32(at + 12), std::max(virtualSize, rawSize), bytes_.U32(at + 20)});
    }
  }

  std::uint32_t ResourceAddress() const { return resourceAddress_; }

  std::size_t Offset(std::uint32_t address) const {
    for (const Section& s : sections_)
      if (address >= s.Address && address - s.Address < s.Size) return s.FileOffset + (address - s.Address);
    throw FormatError("an address lies outside every section");
  }

  const Bytes& Data() const { return bytes_; }

private:
  Bytes bytes_;
  std::uint32_t resourceAddress_ = 0;
  std::vector<Section> sections_;
};

struct DirectoryEntry {
  std::uint32_t Id = 0;  // for a numbered entry
  std::string Name;      // for a named one, upper case
  std::uint32_t Target;  // below the resource directory's start
  bool Subdirectory;
};

std::string UpperUtf8(const Bytes& bytes, std::size_t at) {
  const std::size_t length = bytes.U16(at);
  std::string name;
  for (std::size_t i = 0; i < length; ++i) {
    const std::uint16_t c = bytes.U16(at + 2 + 2 * i);
    if (c < 0x80) {
      name += static_cast<char>(std::toupper(c));
    } else if (c < 0x800) {
      name += static_cast<char>(0xC0 | c >> 6);
      name += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      name += static_cast<char>(0xE0 | c >> 12);
      name += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      name += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return name;
}

std::vector<DirectoryEntry> Entries(const Bytes& bytes, std::size_t base, std::uint32_t directory) {
  const std::size_t at = base + directory;
  const std::size_t count = std::size_t{bytes.U16(at + 12)} + bytes.U16(at + 14);
  std::vector<DirectoryEntry> entries;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t name = bytes.U32(at + 16 + 8 * i), target = bytes.U32(at + 20 + 8 * i);
    DirectoryEntry entry{name, "", target & 0x7FFFFFFF, (target & 0x80000000) != 0};
    if (name & 0x80000000) {
      entry.Id = 0;
      entry.Name = UpperUtf8(bytes, base + (name & 0x7FFFFFFF));
    } else {
      entry.Name = '#';
      entry.Name += std::to_string(name);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}
}  // namespace

std::vector<Resource> ReadResources(std::span<const std::uint8_t> data) {
  const Image image(data);
  std::vector<Resource> resources;
  if (image.ResourceAddress() == 0) return resources;
  const Bytes& bytes = image.Data();
  const std::size_t base = image.Offset(image.ResourceAddress());
  // Three levels: types, names, languages; a leaf gives the data's address and size.
  for (const DirectoryEntry& type : Entries(bytes, base, 0)) {
    if (!type.Subdirectory || type.Id == 0) continue;
    for (const DirectoryEntry& name : Entries(bytes, base, type.Target)) {
      if (!name.Subdirectory) continue;
      const auto languages = Entries(bytes, base, name.Target);
      if (languages.empty() || languages.front().Subdirectory) continue;
      const std::size_t leaf = base + languages.front().Target;
      const std::size_t at = image.Offset(bytes.U32(leaf));
      resources.push_back({type.Id, name.Name, bytes.Span(at, bytes.U32(leaf + 4))});
    }
  }
  return resources;
}

const Resource* Find(const std::vector<Resource>& resources, std::uint32_t type, std::string name) {
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const Resource& r : resources)
    if (r.Type == type && r.Name == name) return &r;
  return nullptr;
}

std::optional<std::string> FileVersion(std::span<const std::uint8_t> image) {
  try {
    const auto resources = ReadResources(image);
    const auto record = std::find_if(resources.begin(), resources.end(),
                                     [](const Resource& r) { return r.Type == kVersion; });
    if (record == resources.end()) return std::nullopt;
    // VS_VERSIONINFO: three words, the key "VS_VERSION_INFO" and its null, padded to
    // 32 bits, then the fixed record with its signature.
    const Bytes bytes(record->Data);
    constexpr std::size_t kFixed = 40;
    if (bytes.U32(kFixed) != 0xFEEF04BD) return std::nullopt;
    const std::uint32_t high = bytes.U32(kFixed + 8), low = bytes.U32(kFixed + 12);
    return std::to_string(high >> 16) + "." + std::to_string(high & 0xFFFF) + "." + std::to_string(low >> 16) +
           "." + std::to_string(low & 0xFFFF);
  } catch (const FormatError&) {
    return std::nullopt;
  }
}

}  // namespace pe
