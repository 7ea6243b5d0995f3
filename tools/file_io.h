#pragma once
// Whole-file reads and safe replacement for the tool's inputs and outputs.
#include <filesystem>
#include <string>
#include <string_view>

namespace orvo::cli {

// The whole file; InputError naming the file and the system's reason when it cannot be read.
std::string read_file(const std::filesystem::path& file);
// All of standard input; InputError when it cannot be read.
std::string read_stdin();

// Replaces `file` only once all of `text` is written, so a failed write keeps the old contents.
// InputError naming the file when it cannot be written.
void write_text_file(const std::filesystem::path& file, std::string_view text);

}  // namespace orvo::cli
