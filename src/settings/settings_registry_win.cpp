// On Windows the store is the registry area the host's own settings calls write:
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\Orvo3\SECTION, one string per key. An
// INI file named by ORVO_SETTINGS (or Settings::load_named) is still read instead.
#include <windows.h>

#include <cstdlib>

#include "platform/windows/wide.h"
#include "settings/settings.h"

namespace orvo {

namespace {

constexpr wchar_t kStoreKey[] = L"Software\\VB and VBA Program Settings\\Orvo3";

std::string fold(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

class RegKey {
 public:
  RegKey(HKEY parent, const wchar_t* name) {
    if (::RegOpenKeyExW(parent, name, 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~RegKey() {
    if (key_) ::RegCloseKey(key_);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// The key's string values by folded name; other types are not settings.
template <typename Store>
void read_values(HKEY key, Store& into) {
  for (DWORD i = 0;; ++i) {
    wchar_t name[16384];
    DWORD name_len = 16384, type = 0, bytes = 0;
    LSTATUS r = ::RegEnumValueW(key, i, name, &name_len, nullptr, &type, nullptr, &bytes);
    if (r == ERROR_NO_MORE_ITEMS) return;
    if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) continue;
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD got = bytes;
    name_len = 16384;
    r = ::RegEnumValueW(key, i, name, &name_len, nullptr, &type,
                        reinterpret_cast<BYTE*>(value.data()), &got);
    if (r != ERROR_SUCCESS) continue;
    value.resize(got / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    into.insert_or_assign(fold(win::narrow(std::wstring_view(name, name_len))), win::narrow(value));
  }
}

}  // namespace

std::filesystem::path settings_path() {
  const wchar_t* named = ::_wgetenv(L"ORVO_SETTINGS");
  return named != nullptr ? std::filesystem::path(named) : std::filesystem::path();
}

Settings Settings::load() {
  if (const auto named = settings_path(); !named.empty()) return parse(named, true);
  Settings s;
  s.file_ = "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Orvo3";
  const RegKey store(HKEY_CURRENT_USER, kStoreKey);
  if (!store.get()) return s;
  for (DWORD i = 0;; ++i) {
    wchar_t section[256];
    DWORD len = 256;
    const LSTATUS r = ::RegEnumKeyExW(store.get(), i, section, &len, nullptr, nullptr, nullptr,
                                      nullptr);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS) continue;
    const RegKey key(store.get(), section);
    if (key.get()) {
      read_values(key.get(), s.sections_[fold(win::narrow(std::wstring_view(section, len)))]);
    }
  }
  return s;
}

}  // namespace orvo
