#pragma once
// The part of iconv that shared/cp950.cpp uses, between UTF-8 and code page 950, over the
// system's own code page 950: the code page the original component wrote with on Windows.
#include <cstddef>

struct orvo_iconv;
using iconv_t = orvo_iconv*;

// Only "CP950" <-> "UTF-8"; anything else fails with EINVAL.
iconv_t iconv_open(const char* to, const char* from);
int iconv_close(iconv_t cd);
// As POSIX: converts whole characters, stops with EILSEQ (no mapping or a bad sequence), EINVAL
// (a sequence cut short) or E2BIG (no room); all null resets the state, of which there is none.
std::size_t iconv(iconv_t cd, char** in, std::size_t* in_left, char** out, std::size_t* out_left);
