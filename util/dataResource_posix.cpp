// Native stand-in for the program's resources: one file per resource in a folder,
// mapped into memory once and kept for the life of the process, as an image would be.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <mutex>

#include "util/appError.h"
#include "util/dataResource.h"
#include "util/textCodec.h"
#include "util/utlStrings.h"

namespace {
std::u16string& Folder() {
  static std::u16string folder;
  return folder;
}

std::string_view MapFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {nullptr, 0};
  struct stat st{};
  std::string_view view;
  if (::fstat(fd, &st) == 0) {
    const auto size = static_cast<std::size_t>(st.st_size);
    if (size == 0) {
      view = std::string_view("", 0);
    } else {
      void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
      if (data != MAP_FAILED) view = std::string_view(static_cast<const char*>(data), size);
    }
  }
  ::close(fd);
  return view;
}
}  // namespace

void SetDataResourceFolder(const std::u16string& folder) { Folder() = folder; }

// The mapping is private and never written: dropped pages are read again from the file.
void ReleaseDataResource(std::string_view part) {
  static const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto begin = (reinterpret_cast<std::uintptr_t>(part.data()) + page - 1) / page * page;
  const auto end = (reinterpret_cast<std::uintptr_t>(part.data()) + part.size()) / page * page;
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
}

namespace {
std::mutex guard;
std::map<std::string, std::string_view> mapped;  // by path
}  // namespace

void ForgetDataResources() {
  std::lock_guard<std::mutex> lock(guard);
  for (const auto& [path, view] : mapped)
    if (!view.empty()) ::munmap(const_cast<char*>(view.data()), view.size());
  mapped.clear();
}

std::string_view ReadDataResource(const std::u16string& name) {
  const std::string path = Utf16ToUtf8(Folder() + u"/" + StrUpper(name));
  std::lock_guard<std::mutex> lock(guard);
  auto found = mapped.find(path);
  if (found == mapped.end()) {
    const std::string_view view = MapFile(path);
    if (!view.data()) throw AppError(u"Ressource introuvable : " + name);
    found = mapped.emplace(path, view).first;
  }
  return found->second;
}
