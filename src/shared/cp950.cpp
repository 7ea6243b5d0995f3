#include "shared/cp950.h"

#include <iconv.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "shared/utf8.h"

namespace orvo {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much as it can; returns false at an unconvertible or incomplete sequence, with
  // `in` left on it.
  bool run(std::string_view& in, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char buf[1024];
    bool ok = true;
    while (src_left > 0) {
      char* dst = buf;
      std::size_t dst_left = sizeof buf;
      const std::size_t r = iconv(cd_, &src, &src_left, &dst, &dst_left);
      out.append(buf, static_cast<std::size_t>(dst - buf));
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
        ok = false;
        break;
      }
    }
    in = in.substr(in.size() - src_left);
    return ok;
  }

 private:
  iconv_t cd_;
};

Converter& to_big5() {
  thread_local Converter c("CP950", "UTF-8");
  return c;
}

Converter& from_big5() {
  thread_local Converter c("UTF-8", "CP950");
  return c;
}

std::string iconv_form(std::string_view ch) {
  std::string out;
  if (!to_big5().run(ch, out)) return "?";
  return out;
}

// iconv stays the authority on code page 950, but asking it for every character of every line
// costs more than the rest of a layout: the form of each character up to U+FFFF is asked once
// and kept here. 0: not asked yet; else the length in the top byte and up to three bytes below.
constexpr std::uint32_t kNotAsked = 0;
constexpr std::uint32_t kAskEachTime = 0xFFFFFFFF;  // a form too long to keep, or past U+FFFF
std::atomic<std::uint32_t> g_forms[0x10000];

[[gnu::noinline]] std::uint32_t ask_iconv(char32_t cp, std::string_view ch) {
  const std::string form = iconv_form(ch);
  std::uint32_t packed = kAskEachTime;
  if (!form.empty() && form.size() <= 3) {
    packed = static_cast<std::uint32_t>(form.size()) << 24;
    for (std::size_t k = 0; k < form.size(); ++k)
      packed |= static_cast<std::uint32_t>(static_cast<unsigned char>(form[k])) << (8 * (2 - k));
  }
  // Threads that race here store the same value.
  g_forms[cp].store(packed, std::memory_order_relaxed);
  return packed;
}

// The kept form of the valid character of `len` (> 1) bytes at in[i], or kAskEachTime.
std::uint32_t packed_form(std::string_view in, std::size_t i, std::size_t len) {
  char32_t cp = static_cast<unsigned char>(in[i]) & (0x7F >> len);
  for (std::size_t k = 1; k < len; ++k)
    cp = (cp << 6) | (static_cast<unsigned char>(in[i + k]) & 0x3F);
  if (cp > 0xFFFF) return kAskEachTime;
  const std::uint32_t packed = g_forms[cp].load(std::memory_order_relaxed);
  return packed != kNotAsked ? packed : ask_iconv(cp, in.substr(i, len));
}

// Calls emit with the code page 950 bytes of `in`, an ASCII run or one character at a time.
template <class Emit>
void encode(std::string_view in, Emit&& emit) {
  std::size_t i = 0;
  while (i < in.size()) {
    std::size_t ascii_end = i;
    while (ascii_end < in.size() && static_cast<unsigned char>(in[ascii_end]) < 0x80) ++ascii_end;
    if (ascii_end > i) {
      emit(in.substr(i, ascii_end - i));
      i = ascii_end;
      continue;
    }
    const std::size_t len = utf8::char_len(in, i);
    if (len == 1) {
      emit("?");  // not UTF-8
    } else if (const std::uint32_t packed = packed_form(in, i, len); packed != kAskEachTime) {
      const char bytes[3] = {static_cast<char>(packed >> 16), static_cast<char>(packed >> 8),
                             static_cast<char>(packed)};
      emit(std::string_view(bytes, packed >> 24));
    } else {
      emit(iconv_form(in.substr(i, len)));
    }
    i += len;
  }
}

// Bytes of the character of `len` bytes at in[i].
std::size_t char_width(std::string_view in, std::size_t i, std::size_t len) {
  if (len == 1) return 1;  // ASCII, or not UTF-8 and printed "?"
  const std::uint32_t packed = packed_form(in, i, len);
  return packed != kAskEachTime ? packed >> 24 : iconv_form(in.substr(i, len)).size();
}

}  // namespace

void append_cp950(std::string& out, std::string_view utf8) {
  encode(utf8, [&](std::string_view bytes) { out += bytes; });
}

std::string to_cp950(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  append_cp950(out, in);
  return out;
}

std::string from_cp950(std::string_view in) {
  std::string out;
  while (!from_big5().run(in, out)) {
    out += "\xEF\xBF\xBD";
    // An unmapped pair is one character; a lead byte without a trail byte is one on its own.
    const auto lead = static_cast<unsigned char>(in[0]);
    const auto trail = in.size() >= 2 ? static_cast<unsigned char>(in[1]) : 0;
    const bool pair = lead >= 0x81 && lead <= 0xFE &&
                      ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0xA1 && trail <= 0xFE));
    in.remove_prefix(pair ? 2 : 1);
  }
  return out;
}

std::size_t byte_width(std::string_view utf8) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      ++n, ++i;
      continue;
    }
    const std::size_t len = utf8::char_len(utf8, i);
    n += char_width(utf8, i, len);
    i += len;
  }
  return n;
}

namespace {

enum class Align { Left, Right };

std::string pad(const Variant& text, const Variant& width, Align align) {
  if (!IsNumeric(width)) return "";
  const double wd = Round(Num(width));
  if (!(wd > 0)) return "";
  const auto w = static_cast<std::size_t>(std::fmin(wd, 1e6));
  std::string form;  // the text form when the value is not text already
  const std::string_view s = text.is_text() ? std::string_view(text.as_text())
                                            : std::string_view(form = Str(text));
  std::size_t keep = s.size();
  std::size_t n = byte_width(s);
  if (n > w) {
    // Keep whole characters that fit; a double-byte one straddling the cut becomes a space.
    std::size_t i = 0, used = 0;
    while (i < s.size()) {
      const std::size_t len = utf8::char_len(s, i);
      const std::size_t cw = char_width(s, i, len);
      if (used + cw > w) break;
      used += cw;
      i += len;
    }
    keep = i;
    n = used;
    align = Align::Left;  // the filler for the dropped half stays where the character was
  }
  std::string out;
  out.reserve(keep + (w - n));
  if (align == Align::Right) out.append(w - n, ' ');
  out.append(s.substr(0, keep));
  if (align == Align::Left) out.append(w - n, ' ');
  return out;
}

}  // namespace

std::string PadRightB(const Variant& text, const Variant& width) {
  return pad(text, width, Align::Left);
}

std::string PadLeftB(const Variant& text, const Variant& width) {
  return pad(text, width, Align::Right);
}

}  // namespace orvo
