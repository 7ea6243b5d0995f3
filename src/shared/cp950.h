#pragma once
// Code page 950 (Big5): how text becomes printer bytes, and byte widths on the printer.
#include <string>
#include <string_view>

#include "shared/variant.h"

namespace orvo {

// UTF-8 to code page 950. A character the code page cannot encode, and any byte sequence that is
// not valid UTF-8, becomes "?" (one byte).
std::string to_cp950(std::string_view utf8);
// The same, appended to `out`.
void append_cp950(std::string& out, std::string_view utf8);
// Code page 950 back to UTF-8 (previews, tests); undecodable bytes become U+FFFD.
std::string from_cp950(std::string_view bytes);

// Width on the printer: bytes of the code page 950 form (ASCII 1, CJK 2).
std::size_t byte_width(std::string_view utf8);

// The text left- (PadRightB) or right-aligned (PadLeftB) in a field of `width` bytes. A text
// that is too long is cut to its first `width` bytes; a double-byte character straddling the cut
// is dropped and replaced by a space, so the field is exactly `width` bytes. A width that is not
// a number gives "".
std::string PadRightB(const Variant& text, const Variant& width);
std::string PadLeftB(const Variant& text, const Variant& width);

}  // namespace orvo
