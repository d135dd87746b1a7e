// Turns a folder into a payload resource: a ZIP archive of every file below it (no
// folder entries, names relative to the folder with "/" separators, sorted by their
// UTF-8 bytes so that the order does not depend on the file system, MS-DOS times of the
// files' modification times), written as one line of upper-case hexadecimal digits.
//
//   payload-packager SOURCE_FOLDER OUTPUT_FILE
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/zipWriter.h"

namespace fs = std::filesystem;

namespace {
const char* FaultText(zip::NameFault fault) {
  switch (fault) {
    case zip::NameFault::None: break;
    case zip::NameFault::Empty: return "empty name";
    case zip::NameFault::NotUtf8: return "name not in UTF-8";
    case zip::NameFault::Backslash: return "backslash in the name";
    case zip::NameFault::Absolute: return "absolute path";
    case zip::NameFault::Drive: return "drive letter";
    case zip::NameFault::EmptyComponent: return "empty path component";
    case zip::NameFault::DotComponent: return "\".\" or \"..\" component";
    case zip::NameFault::BadCharacter: return "character not allowed in Windows file names";
    case zip::NameFault::BadEnding: return "component ending with a dot or a blank";
    case zip::NameFault::Device: return "Windows device name";
  }
  return "";
}

// The file's modification time as local wall-clock time, within the MS-DOS range.
LocalDateTime ModificationTime(const fs::path& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) throw std::runtime_error("cannot stat " + path.string());
  std::tm t{};
  localtime_r(&st.st_mtime, &t);
  LocalDateTime stamp{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, 0};
  if (stamp.Year < 1980) stamp = {1980, 1, 1, 0, 0, 0, 0};
  if (stamp.Year > 2107) stamp = {2107, 12, 31, 23, 59, 58, 0};
  return stamp;
}

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) throw std::runtime_error("cannot read " + path.string());
  return data;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: payload-packager SOURCE_FOLDER OUTPUT_FILE\n";
    return 2;
  }
  try {
    const fs::path source = argv[1];
    const fs::path output = argv[2];
    if (!fs::is_directory(source)) throw std::runtime_error(source.string() + " is not a folder");

    std::vector<std::string> names;
    for (const auto& item : fs::recursive_directory_iterator(source)) {
      if (item.is_directory()) continue;
      if (!item.is_regular_file()) throw std::runtime_error(item.path().string() + " is not a regular file");
      const std::string name = item.path().lexically_relative(source).generic_string();
      if (const auto fault = zip::CheckEntryName(name); fault != zip::NameFault::None)
        throw std::runtime_error("\"" + name + "\" cannot be installed: " + FaultText(fault));
      names.push_back(name);
    }
    std::sort(names.begin(), names.end());

    ZipWriter writer;
    for (const std::string& name : names) {
      const fs::path path = source / name;
      writer.Add(name, ModificationTime(path), ReadFile(path));
    }
    const std::vector<std::uint8_t> archive = writer.Finish();
    if (const std::string tooLarge = HexTextTooLarge(archive.size()); !tooLarge.empty())
      throw std::runtime_error(source.string() + " cannot be carried: " + tooLarge);
    const std::string hex = BytesToHex(archive);

    // Written beside the output and renamed into place: a failed run leaves no output.
    const fs::path partial = output.string() + ".partial";
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out.write(hex.data(), static_cast<std::streamsize>(hex.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + partial.string());
    fs::rename(partial, output);
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "payload-packager: " << e.what() << "\n";
    return 1;
  }
}
