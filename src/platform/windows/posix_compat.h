#pragma once
// The few POSIX names the portable sources use, as mingw-w64 lacks them. Forced into every
// Windows compilation (cmake/windows.cmake), so those sources stay as they are.
#ifdef __cplusplus
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>

#ifndef O_CLOEXEC
#define O_CLOEXEC 0  // handles are not inherited unless asked for
#endif
#ifndef O_NOCTTY
#define O_NOCTTY 0
#endif

// std::filesystem::path::c_str() is wide here; and every file is bytes, never text mode.
inline int open(const wchar_t* path, int flags, int mode = 0) {
  return ::_wopen(path, flags | _O_BINARY, mode);
}

// write() takes an unsigned int here; the portable sources pass a size.
inline long write(int fd, const void* bytes, unsigned long long size) {
  return ::_write(fd, bytes, static_cast<unsigned>(size < 0x40000000u ? size : 0x40000000u));
}

inline int unlink(const wchar_t* path) { return ::_wunlink(path); }
// Replaces an existing `to`, as POSIX rename does.
int rename(const wchar_t* from, const wchar_t* to);
inline int setenv(const char* name, const char* value, int) { return ::_putenv_s(name, value); }

// The name of a stop request's signal (SIGINT, SIGTERM, SIGBREAK).
const char* strsignal(int sig);
#endif
