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

std::uint32_t kept_form(char32_t cp, std::string_view ch) {
  if (cp > 0xFFFF) return kAskEachTime;
  const std::uint32_t packed = g_forms[cp].load(std::memory_order_relaxed);
  return packed != kNotAsked ? packed : ask_iconv(cp, ch);
}

struct Char {
  std::size_t len;       // bytes of UTF-8
  std::uint32_t packed;  // its form as kept, or kAskEachTime
};

// The character at in[i], with its form. A byte that starts no character prints "?".
inline Char char_at(std::string_view in, std::size_t i) {
  const auto c = static_cast<unsigned char>(in[i]);
  if (c < 0x80) return {1, (1u << 24) | (static_cast<std::uint32_t>(c) << 16)};
  // Three bytes after a lead that allows no overlong form nor surrogate: all of CJK.
  if (c >= 0xE1 && c <= 0xEF && c != 0xED && i + 2 < in.size()) {
    const auto c1 = static_cast<unsigned char>(in[i + 1]);
    const auto c2 = static_cast<unsigned char>(in[i + 2]);
    if ((c1 & 0xC0) == 0x80 && (c2 & 0xC0) == 0x80) {
      const char32_t cp = ((c & 0x0Fu) << 12) | ((c1 & 0x3Fu) << 6) | (c2 & 0x3Fu);
      return {3, kept_form(cp, in.substr(i, 3))};
    }
  }
  const std::size_t len = utf8::char_len(in, i);
  if (len == 1) return {1, (1u << 24) | (static_cast<std::uint32_t>('?') << 16)};
  return {len, kept_form(utf8::decode(in, i), in.substr(i, len))};
}

std::size_t width_of(std::string_view in, std::size_t i, const Char& ch) {
  return ch.packed != kAskEachTime ? ch.packed >> 24 : iconv_form(in.substr(i, ch.len)).size();
}

}  // namespace

void append_cp950(std::string& out, std::string_view utf8) {
  // Room for the rest of the input stays ahead of `at`: a kept form is no longer than its UTF-8.
  std::size_t at = out.size();
  out.resize(at + utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      out[at++] = utf8[i++];
      continue;
    }
    const Char ch = char_at(utf8, i);
    const std::size_t size = ch.packed >> 24;  // 255 for kAskEachTime
    if (size <= ch.len) {
      for (std::size_t k = 0; k < size; ++k)
        out[at++] = static_cast<char>(ch.packed >> (8 * (2 - k)));
    } else {
      const std::string form = iconv_form(utf8.substr(i, ch.len));
      out.resize(out.size() + form.size());
      out.replace(at, form.size(), form);
      at += form.size();
    }
    i += ch.len;
  }
  out.resize(at);
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
    const Char ch = char_at(utf8, i);
    n += width_of(utf8, i, ch);
    i += ch.len;
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
      const Char ch = char_at(s, i);
      const std::size_t cw = width_of(s, i, ch);
      if (used + cw > w) break;
      used += cw;
      i += ch.len;
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
