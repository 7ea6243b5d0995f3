#include "platform/windows/wide.h"

#include <windows.h>

#include <cerrno>
#include <csignal>

namespace orvo::win {

std::wstring widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                      nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string narrow(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                      nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), n,
                        nullptr, nullptr);
  return out;
}

std::string system_message(unsigned long code) {
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = n > 0 ? std::wstring(text, n) : L"";
  ::LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                              message.back() == L'.' || message.back() == L' '))
    message.pop_back();
  if (message.empty()) return "system error " + std::to_string(code);
  return narrow(message);
}

}  // namespace orvo::win

const char* strsignal(int sig) {
  switch (sig) {
    case SIGINT: return "Interrupt";
    case SIGTERM: return "Terminated";
    case SIGBREAK: return "Ctrl-Break";
    default: return "Unknown signal";
  }
}

int rename(const wchar_t* from, const wchar_t* to) {
  if (::MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING)) return 0;
  errno = ::GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
  return -1;
}
