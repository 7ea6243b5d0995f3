#pragma once
// The INI reader settings.cpp parses with (inih's stream entry), as inih has no mingw package.
// Same rules as the Debian build of inih: "[section]", "name = value" or "name: value",
// ";" and "#" comment lines, ";" after a blank starts a comment, a UTF-8 BOM is skipped.
using ini_reader = char* (*)(char* str, int num, void* stream);
using ini_handler = int (*)(void* user, const char* section, const char* name, const char* value);

// Returns 0, or the number of the first line with an error; such lines are skipped.
int ini_parse_stream(ini_reader reader, void* stream, ini_handler handler, void* user);
