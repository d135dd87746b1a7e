#include "tests/support/memoryRegistry.h"

#include "util/appError.h"

namespace {
std::u16string Fold(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return out;
}
}  // namespace

MemoryRegistry::KeyId MemoryRegistry::Id(std::uint32_t Root, const std::u16string& KeyPath) {
  std::u16string_view path = KeyPath;
  if (!path.empty() && path.front() == u'\\') path.remove_prefix(1);
  return {Root, Fold(path)};
}

void MemoryRegistry::Create(const KeyId& id) {
  // Every level of the path exists afterwards.
  for (std::size_t at = 0;; ++at) {
    at = id.Path.find(u'\\', at);
    keys_[{id.Root, id.Path.substr(0, at)}];
    if (at == std::u16string::npos) break;
  }
}

bool MemoryRegistry::RegInfoKeyExists(std::uint32_t Root, const std::u16string& KeyPath) {
  return keys_.count(Id(Root, KeyPath)) > 0;
}

void MemoryRegistry::ValidateRegInfoKey(std::uint32_t Root, const std::u16string& KeyPath) {
  Create(Id(Root, KeyPath));
}

std::u16string MemoryRegistry::GetRegInfoValue(std::uint32_t Root, const std::u16string& KeyPath,
                                                const std::u16string& ValName) {
  const Data* data = Find(Root, KeyPath, ValName);
  if (!data) return u"";
  if (const auto* text = std::get_if<std::u16string>(data)) return *text;
  const std::string number = std::to_string(std::get<std::int32_t>(*data));
  return std::u16string(number.begin(), number.end());
}

void MemoryRegistry::Store(std::uint32_t Root, const std::u16string& KeyPath,
                           const std::u16string& ValName, Data data) {
  if (RefusedValues.count(ValName)) throw AppError(FillIn(ValueWriteFailed, ValName));
  const KeyId id = Id(Root, KeyPath);
  Create(id);
  keys_[id][Fold(ValName)] = std::move(data);
}

void MemoryRegistry::SetRegInfoStr(std::uint32_t Root, const std::u16string& KeyPath,
                                   const std::u16string& ValName, const std::u16string& Value) {
  Store(Root, KeyPath, ValName, Value);
}

void MemoryRegistry::SetRegInfoInt(std::uint32_t Root, const std::u16string& KeyPath,
                                   const std::u16string& ValName, std::int32_t Value) {
  Store(Root, KeyPath, ValName, Value);
}

void MemoryRegistry::RemoveRegInfoKey(std::uint32_t Root, const std::u16string& KeyPath) {
  const KeyId id = Id(Root, KeyPath);
  const auto key = keys_.find(id);
  if (key == keys_.end()) return;
  // Subkeys sort right after "path\", together.
  const std::u16string prefix = id.Path + u"\\";
  const auto sub = keys_.lower_bound({Root, prefix});
  const bool hasSubkey = sub != keys_.end() && sub->first.Root == Root && sub->first.Path.rfind(prefix, 0) == 0;
  if (!hasSubkey) keys_.erase(key);
}

std::int32_t MemoryRegistry::InstancesCount(const std::u16string& prog) {
  const auto found = Running.find(prog);
  return found == Running.end() ? 0 : found->second;
}

const MemoryRegistry::Data* MemoryRegistry::Find(std::uint32_t Root, const std::u16string& KeyPath,
                                                 const std::u16string& ValName) const {
  const auto key = keys_.find(Id(Root, KeyPath));
  if (key == keys_.end()) return nullptr;
  const auto value = key->second.find(Fold(ValName));
  if (value == key->second.end()) return nullptr;
  return &value->second;
}

std::size_t MemoryRegistry::ValueCount(std::uint32_t Root, const std::u16string& KeyPath) const {
  const auto key = keys_.find(Id(Root, KeyPath));
  return key == keys_.end() ? 0 : key->second.size();
}
