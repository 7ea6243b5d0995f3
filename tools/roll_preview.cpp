#include "roll_preview.h"


#include <cerrno>
#include <utility>

#include "sale_json.h"
#include "shared/cp950.h"
#include "shared/utf8.h"

namespace orvo::cli {

namespace {

constexpr char kEsc = '\x1b';
constexpr char kLf = '\x0a';
constexpr char kCr = '\x0d';
constexpr char kFf = '\x0c';

class Parser {
 public:
  explicit Parser(std::string_view in) : in_(in) {}

  RollStream run() {
    while (pos_ < in_.size()) {
      const char c = in_[pos_];
      if (c == kEsc) {
        escape();
      } else if (c == kLf) {
        ++pos_;
        end_line();
      } else if (c == kCr) {
        ++pos_;
        if (pos_ < in_.size() && in_[pos_] == kLf) ++pos_;
        end_line();
      } else if (c == kFf) {
        ++pos_;
        end_form();
      } else {
        ++pos_;
        put(c);
      }
    }
    if (pending_) {
      line_.ended = false;
      end_line();
    }
    if (!form_.lines.empty() || !form_.commands.empty() || form_.stamped) end_form();
    return std::move(out_);
  }

 private:
  enum class Match { Yes, No, Short };

  // Whether the bytes after ESC and its letter are `tail`; Short when the stream ends first.
  Match followed_by(std::string_view tail) const {
    for (std::size_t i = 0; i < tail.size(); ++i) {
      const std::size_t at = pos_ + 2 + i;
      if (at >= in_.size()) return Match::Short;
      if (in_[at] != tail[i]) return Match::No;
    }
    return Match::Yes;
  }

  unsigned byte_at(std::size_t offset) const {
    return static_cast<unsigned char>(in_[pos_ + offset]);
  }

  void escape() {
    if (pos_ + 2 > in_.size()) return truncate();
    const char letter = in_[pos_ + 1];
    // Commands with parameter bytes: their length is known from the letter alone.
    std::size_t params = 0;
    switch (letter) {
      case 'z':
      case 'd':
      case 'a':
      case '!':
        params = 1;
        break;
      case 'c':
      case 'x':
        params = 2;
        break;
      default:
        break;
    }
    if (pos_ + 2 + params > in_.size()) return truncate();
    switch (letter) {
      case '@':
        double_width_ = false;
        return take(RollCommand::Initialise, 2);
      case 'o':
        form_.stamped = true;
        return take(RollCommand::Stamp, 2);
      case 'z':
        return byte_at(2) == 1 ? take(RollCommand::BothStations, 3) : unknown(3);
      case 'c':
        return byte_at(2) == '0' && byte_at(3) == 2 ? take(RollCommand::InvoiceStation, 4)
                                                    : unknown(4);
      case 'd':
      case 'a': {
        const unsigned n = byte_at(2);
        take(letter == 'd' ? RollCommand::Feed : RollCommand::Advance, 3, n);
        return feed(n);
      }
      case '!': {
        const unsigned n = byte_at(2);
        double_width_ = (n & 0x20) != 0;
        return take(RollCommand::PrintMode, 3, n);
      }
      case 'x':
        if (byte_at(2) == 1 && byte_at(3) == 0x0e) {
          double_width_ = true;
          return take(RollCommand::DoubleWidthOn, 4);
        }
        if (byte_at(2) == 1 && byte_at(3) == 0x14) {
          double_width_ = false;
          return take(RollCommand::DoubleWidthOff, 4);
        }
        return unknown(4);
      case 'R':
        return fixed("\r", RollCommand::Reset, [this] { double_width_ = false; });
      case 'L':
        return fixed("B1\r", RollCommand::EmptyLine, [this] { end_line(); });
      case 'V':
        return fixed("B\r", RollCommand::EndOfForm, [this] { end_form(); });
      case 'P':
        return text_line();
      default:
        return unknown(2);
    }
  }

  template <typename Effect>
  void fixed(std::string_view tail, RollCommand kind, Effect effect) {
    switch (followed_by(tail)) {
      case Match::Short:
        return truncate();
      case Match::No:
        return unknown(2);
      case Match::Yes:
        take(kind, 2 + tail.size());
        return effect();
    }
  }

  // ESC P B 1 text and its line end (CR, LF or CR LF): the text joins the current line and ends
  // it.
  void text_line() {
    const Match head = followed_by("B1");
    if (head == Match::Short) return truncate();
    if (head == Match::No) return unknown(2);
    const std::size_t text_at = pos_ + 4;
    const std::size_t end = in_.find_first_of("\r\n", text_at);
    if (end == std::string_view::npos) return truncate();
    std::size_t after = end + 1;
    if (in_[end] == kCr && after < in_.size() && in_[after] == kLf) ++after;
    const std::string_view text = in_.substr(text_at, end - text_at);
    take(RollCommand::TextLine, after - pos_);
    for (const char c : text) put(c);
    end_line();
  }

  void take(RollCommand kind, std::size_t length, unsigned value = 0) {
    form_.commands.push_back({kind, value, std::string(in_.substr(pos_, length))});
    pos_ += length;
  }

  void unknown(std::size_t length) {
    const std::string bytes(in_.substr(pos_, length));
    take(RollCommand::Unknown, length);
    mark(bytes);
  }

  void truncate() {
    out_.truncated = std::string(in_.substr(pos_));
    pos_ = in_.size();
  }

  void put(char c) {
    if (static_cast<unsigned char>(c) < 0x20) {
      // A control byte the printer has no use for here; shown rather than decoded.
      form_.commands.push_back({RollCommand::Unknown, 0, std::string(1, c)});
      return mark(std::string(1, c));
    }
    if (!text_.empty() && text_wide_ != double_width_) decode();
    text_wide_ = double_width_;
    text_ += c;
    line_.width += double_width_ ? 2 : 1;
    line_.double_width = line_.double_width || double_width_;
    pending_ = true;
  }

  void mark(std::string_view bytes) {
    decode();
    append(hex_marker(bytes), false);
    pending_ = true;
  }

  // Runs of text are decoded whole so that a character's two bytes stay together.
  void decode() {
    if (text_.empty()) return;
    append(from_cp950(text_), text_wide_);
    text_.clear();
  }

  void append(const std::string& text, bool wide) {
    line_.text += text;
    if (line_.runs.empty() || line_.runs.back().double_width != wide)
      line_.runs.push_back({"", wide});
    line_.runs.back().text += text;
  }

  void end_line() {
    decode();
    form_.lines.push_back(std::move(line_));
    line_ = RollLine{};
    pending_ = false;
  }

  // The paper moves n lines from the line being printed: a pending line is the first of them.
  void feed(unsigned n) {
    if (pending_) {
      end_line();
      if (n > 0) --n;
    }
    form_.lines.resize(form_.lines.size() + n);
  }

  void end_form() {
    if (pending_) end_line();
    out_.forms.push_back(std::move(form_));
    form_ = RollForm{};
  }

  std::string_view in_;
  std::size_t pos_ = 0;
  RollStream out_;
  RollForm form_;
  RollLine line_;
  std::string text_;         // bytes of the current line not yet decoded
  bool text_wide_ = false;   // text_ was sent in double width
  bool pending_ = false;     // the current line has something in it
  bool double_width_ = false;
};

std::string hex_byte(unsigned b) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[(b >> 4) & 0xf], kDigits[b & 0xf]};
}

std::string repeat(std::string_view s, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) out += s;
  return out;
}

// The line as wide as it prints: a double-width character is followed by as many spaces as it
// is wide.
std::string draw(const RollLine& line) {
  std::string out;
  for (const RollRun& run : line.runs) {
    if (!run.double_width) {
      out += run.text;
      continue;
    }
    for (std::size_t i = 0; i < run.text.size();) {
      const std::size_t n = utf8::char_len(run.text, i);
      const std::string_view ch = std::string_view(run.text).substr(i, n);
      out.append(ch).append(byte_width(ch), ' ');
      i += n;
    }
  }
  return out;
}

// The commands the box does not already show through its lines, title and markers.
std::string command_summary(const std::vector<RollCommandSeen>& commands) {
  std::string out;
  for (const auto& c : commands) {
    std::string name;
    switch (c.kind) {
      case RollCommand::Initialise:
        name = "initialise";
        break;
      case RollCommand::BothStations:
        name = "both stations";
        break;
      case RollCommand::InvoiceStation:
        name = "invoice station only";
        break;
      case RollCommand::Reset:
        name = "reset";
        break;
      case RollCommand::PrintMode:
        name = "print mode " + hex_byte(c.value);
        break;
      case RollCommand::Unknown:
        name = hex_marker(c.bytes);
        break;
      default:
        continue;
    }
    out += (out.empty() ? "" : ", ") + name;
  }
  return out;
}

}  // namespace

RollStream parse_roll(std::string_view bytes) { return Parser(bytes).run(); }

std::string hex_marker(std::string_view bytes) {
  std::string out = "<";
  for (const char c : bytes) {
    if (out.size() > 1) out += ' ';
    const auto b = static_cast<unsigned char>(c);
    out += b == 0x1b ? "ESC" : hex_byte(b);
  }
  return out + ">";
}

std::string render_roll(const RollStream& stream, std::size_t width) {
  std::string out;
  for (std::size_t i = 0; i < stream.forms.size(); ++i) {
    const RollForm& form = stream.forms[i];
    const std::string title =
        " form " + std::to_string(i + 1) + (form.stamped ? " (stamped)" : "") + " ";
    const std::size_t title_width = 2 + title.size();
    out += "──" + title + repeat("─", width + 2 > title_width ? width + 2 - title_width : 2) + "\n";
    for (const RollLine& line : form.lines) {
      out += line.double_width ? "»" : "│";
      const std::string drawn = draw(line);
      out += drawn;
      const std::size_t shown = byte_width(drawn);
      if (shown < width) out += std::string(width - shown, ' ');
      out += "│";
      if (line.width > width) out += " over by " + std::to_string(line.width - width);
      if (!line.ended) out += " (stream ended before this line was printed)";
      out += "\n";
    }
    out += "└" + repeat("─", width) + "┘\n";
    const std::string summary = command_summary(form.commands);
    if (!summary.empty()) out += "  " + summary + "\n";
  }
  if (stream.truncated) {
    constexpr std::size_t kShown = 16;
    const std::string& t = *stream.truncated;
    out += "truncated command at the end: " + hex_marker(t.substr(0, kShown)) +
           (t.size() > kShown ? " ... (" + std::to_string(t.size()) + " bytes)" : "") + "\n";
  }
  if (out.empty()) out = "(nothing printed)\n";
  return out;
}

}  // namespace orvo::cli
