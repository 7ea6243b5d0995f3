#pragma once
// fontconfig 2.14 loses a few blocks while it parses the system's configuration files, once per
// process and with nothing of ours involved. Read by LeakSanitizer in the sanitizer build.
// Include in one source of each test program that loads fonts.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
