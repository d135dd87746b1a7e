// What the build and the publisher's checks read of a Windows program, from its bytes and
// on any system: its resources and the file version of its version record.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace pe {

inline constexpr std::uint32_t kRcData = 10;
inline constexpr std::uint32_t kVersion = 16;

struct Resource {
  std::uint32_t Type = 0;  // a numbered type (RT_RCDATA, RT_VERSION, ...)
  std::string Name;        // a name in upper case (UTF-8), or "#" and the number
  std::span<const std::uint8_t> Data;
};

// A program that is no PE image, or whose records run outside it.
class FormatError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Every resource of numbered type, the first language of each name; throws FormatError.
std::vector<Resource> ReadResources(std::span<const std::uint8_t> image);

// The resource of that type and name (compared in upper case); null when there is none.
const Resource* Find(const std::vector<Resource>& resources, std::uint32_t type, std::string name);

// "a.b.c.d": the fixed file version of the program's version record; nothing when the
// bytes are no PE image or carry no version record.
std::optional<std::string> FileVersion(std::span<const std::uint8_t> image);

}  // namespace pe
