#pragma once
// UTF-8 (the core's text) and UTF-16 (the system's) both ways.
#include <string>
#include <string_view>

namespace orvo::win {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);
// The system's message for an error code, without its line end.
std::string system_message(unsigned long code);

}  // namespace orvo::win
