#include "shared/cp950.h"

#include <iconv.h>

#include <cerrno>
#include <cmath>
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

bool all_ascii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

std::string to_cp950(std::string_view in) {
  if (all_ascii(in)) return std::string(in);
  std::string out;
  out.reserve(in.size());
  while (!to_big5().run(in, out)) {
    out += '?';
    in.remove_prefix(utf8::char_len(in, 0));
  }
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
  return all_ascii(utf8) ? utf8.size() : to_cp950(utf8).size();
}

namespace {

enum class Align { Left, Right };

std::string pad(const Variant& text, const Variant& width, Align align) {
  if (!IsNumeric(width)) return "";
  const double wd = Round(Num(width));
  if (!(wd > 0)) return "";
  const auto w = static_cast<std::size_t>(std::fmin(wd, 1e6));
  std::string s = Str(text);
  std::size_t n = byte_width(s);
  if (n > w) {
    // Keep whole characters that fit; a double-byte one straddling the cut becomes a space.
    std::size_t i = 0, used = 0;
    while (i < s.size()) {
      const std::size_t len = utf8::char_len(s, i);
      const std::size_t cw = len == 1 ? 1 : byte_width(std::string_view(s).substr(i, len));
      if (used + cw > w) break;
      used += cw;
      i += len;
    }
    s.resize(i);
    n = used;
    if (n == w) return s;
    align = Align::Left;  // the filler for the dropped half stays where the character was
  }
  const std::string fill(w - n, ' ');
  return align == Align::Left ? s + fill : fill + s;
}

}  // namespace

std::string PadRightB(const Variant& text, const Variant& width) {
  return pad(text, width, Align::Left);
}

std::string PadLeftB(const Variant& text, const Variant& width) {
  return pad(text, width, Align::Right);
}

}  // namespace orvo
