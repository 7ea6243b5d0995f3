#pragma once
// Run-time and automation errors as the host sees them: a number, a source and a description.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace orvo {

// Base of object-defined error numbers: every procedure of the printer object re-raises with it.
inline constexpr std::int32_t kObjectError = static_cast<std::int32_t>(0x80040000u);

namespace err {
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kBadFileNumber = 52;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kDeviceIo = 57;
inline constexpr std::int32_t kDiskFull = 61;
inline constexpr std::int32_t kBadFileMode = 54;
inline constexpr std::int32_t kPermissionDenied = 70;
inline constexpr std::int32_t kPathNotFound = 76;
inline constexpr std::int32_t kDeviceUnavailable = 68;
inline constexpr std::int32_t kInvalidUseOfNull = 94;
inline constexpr std::int32_t kInvalidArgument = 5;
inline constexpr std::int32_t kItemNotFound = 3265;
inline constexpr std::int32_t kObjectClosed = 3704;
}  // namespace err

class Error : public std::runtime_error {
 public:
  Error(std::int32_t number, std::string source, std::string description)
      : std::runtime_error(description),
        number_(number),
        source_(std::move(source)),
        description_(std::move(description)) {}
  Error(std::int32_t number, std::string description) : Error(number, "", std::move(description)) {}

  std::int32_t number() const { return number_; }
  const std::string& source() const { return source_; }
  const std::string& description() const { return description_; }

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
};

[[noreturn]] inline void raise(std::int32_t number, std::string description) {
  throw Error(number, std::move(description));
}
[[noreturn]] inline void raise_type_mismatch() { raise(err::kTypeMismatch, "Type mismatch"); }
// Names the text that was used as a number or a date.
[[noreturn]] inline void raise_type_mismatch(const std::string& text, const char* wanted) {
  raise(err::kTypeMismatch, "Type mismatch: \"" + text + "\" is not " + wanted);
}
[[noreturn]] inline void raise_overflow() { raise(err::kOverflow, "Overflow"); }

// What a procedure that "raises to its caller" throws after catching `e`.
inline Error reraised(const std::string& proc, const Error& e) {
  return Error(kObjectError, proc, e.description());
}

// Turns whatever was thrown into an Error, so that error paths handle one type. Call in a catch.
Error current_error();

}  // namespace orvo
