#include "layout_kit/byte_sink.h"

#include "shared/cp950.h"

namespace orvo {

namespace {

std::string_view line_end(LineEnd end) {
  switch (end) {
    case LineEnd::LF:
      return "\n";
    case LineEnd::CRLF:
      return "\r\n";
    case LineEnd::CR:
      return "\r";
    case LineEnd::None:
      break;
  }
  return {};
}

// Field text never commands the printer: its control characters print as "?". Big5 lead and trail
// bytes are never below 0x40 nor 0x7F, so the encoded bytes can be scanned one by one.
void printable_from(std::string& out, std::size_t from) {
  for (std::size_t i = from; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (c < 0x20 || c == 0x7F) out[i] = '?';
  }
}

void append_printable(std::string& out, std::string_view encoded) {
  const std::size_t from = out.size();
  out += encoded;
  printable_from(out, from);
}

// Encodes straight into the reused buffer: no string per line.
void append_printable_text(std::string& out, std::string_view utf8) {
  const std::size_t from = out.size();
  append_cp950(out, utf8);
  printable_from(out, from);
}

}  // namespace

void ByteSink::command(std::string_view bytes) { table_.write(fno_, bytes); }

void ByteSink::text(std::string_view utf8, LineEnd end) { command_text({}, utf8, end); }

void ByteSink::command_text(std::string_view command, std::string_view utf8, LineEnd end) {
  buf_.assign(command);
  append_printable_text(buf_, utf8);
  buf_ += line_end(end);
  send();
}

void ByteSink::encoded_text(std::string_view cp950, LineEnd end) {
  buf_.clear();
  append_printable(buf_, cp950);
  buf_ += line_end(end);
  send();
}

void ByteSink::lines(std::span<const std::string> utf8_lines, LineEnd end) {
  buf_.clear();
  for (const std::string& line : utf8_lines) {
    append_printable_text(buf_, line);
    buf_ += line_end(end);
  }
  send();
}

void ByteSink::text_ending_itself(std::string_view utf8) {
  for (const LineEnd end : {LineEnd::CRLF, LineEnd::LF, LineEnd::CR}) {
    if (utf8.ends_with(line_end(end))) {
      text(utf8.substr(0, utf8.size() - line_end(end).size()), end);
      return;
    }
  }
  text(utf8, LineEnd::None);
}

void ByteSink::send() { table_.write(fno_, buf_); }

}  // namespace orvo
