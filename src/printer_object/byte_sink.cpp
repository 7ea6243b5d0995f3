#include "printer_object/byte_sink.h"

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

}  // namespace

void ByteSink::command(std::string_view bytes) { table_.write(fno_, bytes); }

void ByteSink::text(std::string_view utf8, LineEnd end) { command_text({}, utf8, end); }

void ByteSink::command_text(std::string_view command, std::string_view utf8, LineEnd end) {
  buf_.assign(command);
  buf_ += to_cp950(utf8);
  buf_ += line_end(end);
  send();
}

void ByteSink::encoded_text(std::string_view cp950, LineEnd end) {
  buf_.assign(cp950);
  buf_ += line_end(end);
  send();
}

void ByteSink::send() { table_.write(fno_, buf_); }

}  // namespace orvo
