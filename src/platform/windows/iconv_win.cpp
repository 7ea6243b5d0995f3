#include <windows.h>

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <string_view>

#include "shared/utf8.h"

struct orvo_iconv {
  bool to_cp950;
};

namespace {

constexpr UINT kBig5 = 950;
constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

std::size_t fail(int e) {
  errno = e;
  return kFailed;
}

// One UTF-16 form of a code point: 1 or 2 units.
int utf16(char32_t cp, wchar_t* w) {
  if (cp < 0x10000) {
    w[0] = static_cast<wchar_t>(cp);
    return 1;
  }
  cp -= 0x10000;
  w[0] = static_cast<wchar_t>(0xD800 + (cp >> 10));
  w[1] = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
  return 2;
}

void append_utf8(char32_t cp, char* out, std::size_t& n) {
  if (cp < 0x80) {
    out[n++] = static_cast<char>(cp);
  } else if (cp < 0x800) {
    out[n++] = static_cast<char>(0xC0 | (cp >> 6));
    out[n++] = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out[n++] = static_cast<char>(0xE0 | (cp >> 12));
    out[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[n++] = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out[n++] = static_cast<char>(0xF0 | (cp >> 18));
    out[n++] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[n++] = static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The next character of `in` in the other encoding, into `form`; false for no mapping.
bool encode_one(std::string_view in, std::size_t& used, char* form, std::size_t& n) {
  used = orvo::utf8::char_len(in, 0);
  if (used == 1 && static_cast<unsigned char>(in[0]) >= 0x80) return false;
  wchar_t w[2];
  const int units = utf16(orvo::utf8::decode(in, 0), w);
  BOOL defaulted = FALSE;
  const int got = ::WideCharToMultiByte(kBig5, WC_NO_BEST_FIT_CHARS, w, units, form, 4, nullptr,
                                        &defaulted);
  n = got > 0 ? static_cast<std::size_t>(got) : 0;
  return got > 0 && !defaulted;
}

bool decode_one(std::string_view in, std::size_t& used, char* form, std::size_t& n) {
  const auto lead = static_cast<unsigned char>(in[0]);
  used = 1;
  n = 0;
  if (lead < 0x80) {
    form[n++] = static_cast<char>(lead);
    return true;
  }
  if (!::IsDBCSLeadByteEx(kBig5, lead) || in.size() < 2) return false;
  used = 2;
  wchar_t w[2];
  const int units = ::MultiByteToWideChar(kBig5, MB_ERR_INVALID_CHARS, in.data(), 2, w, 2);
  if (units != 1 || w[0] == 0xFFFD) return false;
  append_utf8(w[0], form, n);
  return true;
}

}  // namespace

iconv_t iconv_open(const char* to, const char* from) {
  const bool encode = std::strcmp(to, "CP950") == 0 && std::strcmp(from, "UTF-8") == 0;
  const bool decode = std::strcmp(to, "UTF-8") == 0 && std::strcmp(from, "CP950") == 0;
  if (!encode && !decode) {
    errno = EINVAL;
    return reinterpret_cast<iconv_t>(-1);
  }
  return new orvo_iconv{encode};
}

int iconv_close(iconv_t cd) {
  delete cd;
  return 0;
}

std::size_t iconv(iconv_t cd, char** in, std::size_t* in_left, char** out, std::size_t* out_left) {
  if (in == nullptr || *in == nullptr) return 0;
  while (*in_left > 0) {
    const std::string_view rest(*in, *in_left);
    char form[8];
    std::size_t used = 0, n = 0;
    const bool ok = cd->to_cp950 ? encode_one(rest, used, form, n) : decode_one(rest, used, form, n);
    if (!ok) return fail(EILSEQ);
    if (n > *out_left) return fail(E2BIG);
    std::memcpy(*out, form, n);
    *out += n;
    *out_left -= n;
    *in += used;
    *in_left -= used;
  }
  return 0;
}
