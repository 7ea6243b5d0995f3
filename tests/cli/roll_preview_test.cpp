// The roll preview: bytes parsed into forms and lines, and the text rendered from them.
#include "../../tools/roll_preview.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "../../tools/file_io.h"
#include "../../tools/sale_json.h"

namespace {

using orvo::cli::parse_roll;
using orvo::cli::RollCommand;
using orvo::cli::RollStream;
using namespace std::string_literals;

// One line per form: "+" when stamped, then each printed line in brackets, "»" opening a double
// width one and "~" closing one the stream never finished.
std::string outline(const RollStream& s) {
  std::string out;
  for (const auto& form : s.forms) {
    out += form.stamped ? "+" : "";
    for (const auto& line : form.lines) {
      out += std::string("[") + (line.double_width ? "»" : "") + line.text +
             (line.ended ? "" : "~") + "]";
    }
    out += "\n";
  }
  return out;
}

TEST(RollPreview, ParsesFormsLinesAndCommands) {
  const struct {
    std::string bytes;
    std::string outline;
    std::string truncated;  // "" when nothing is cut off
  } cases[] = {
      {"AB\nC\x1b"
       "d\x02",
       "[AB][C][][]\n", ""},
      {"A\n\x1b"
       "d\x02\x1b"
       "a\x01"s,
       "[A][][][]\n", ""},
      {"A\r\nB\rC\n\r\n", "[A][B][C][]\n", ""},
      {"A\x1bo\x0c"
       "B\x0c\x0c",
       "+[A]\n[B]\n\n", ""},
      {"A\nB", "[A][B~]\n", ""},
      {"A\x1bqB\n\x1bz\x02\n", "[A<ESC 71>B][<ESC 7A 02>]\n", ""},
      {"A\x0e"
       "B\n",
       "[A<0E>B]\n", ""},
      {"A\n\x1b"
       "d",
       "[A]\n",
       "\x1b"
       "d"},
      {"A\x1b", "[A~]\n", "\x1b"},
      {"\x1bPB1AB", "", "\x1bPB1AB"},
      {"\x1bLB", "", "\x1bLB"},
      {"\xa6\x6e\xa8\xfd\xa4\x40\n", "[好味一]\n", ""},
      {"\x1bx\x01\x0e\xc0\x5c\x1bx\x01\x14\xc6\x55\nA\n", "[»餐廳][A]\n", ""},
      {"\x1b!\x20"
       "A\n\x1b!\x00"
       "B\n\x1b!\x20\x1b@C\n"s,
       "[»A][B][C]\n", ""},
      {"\x1bR\r\x1bPB1AB\r\x1bLB1\r\x1bVB\rC\x1bVB\r", "[AB][]\n[C]\n", ""},
      {"\x1bRX\x1bPA\r", "[<ESC 52>X<ESC 50>A]\n", ""},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    const RollStream s = parse_roll(c.bytes);
    EXPECT_EQ(outline(s), c.outline) << orvo::cli::hex_marker(c.bytes);
    EXPECT_EQ(s.truncated.value_or(""), c.truncated) << orvo::cli::hex_marker(c.bytes);
  }
}

TEST(RollPreview, RecordsCommandsWithTheirBytes) {
  const RollStream s = parse_roll(
      "\x1b@\x1bz\x01\x1b"
      "c0\x02"
      "A\x1b"
      "d\x03\x1b!\x21\x1b"
      "c1\x02\x1bo\x0c\x1bR\r");
  ASSERT_EQ(s.forms.size(), 2u);
  const struct {
    RollCommand kind;
    unsigned value;
    std::string bytes;
  } expected[] = {
      {RollCommand::Initialise, 0, "\x1b@"},
      {RollCommand::BothStations, 0, "\x1bz\x01"},
      {RollCommand::InvoiceStation, 0,
       "\x1b"
       "c0\x02"},
      {RollCommand::Feed, 3,
       "\x1b"
       "d\x03"},
      {RollCommand::PrintMode, 0x21, "\x1b!\x21"},
      {RollCommand::Unknown, 0,
       "\x1b"
       "c1\x02"},
      {RollCommand::Stamp, 0, "\x1bo"},
  };
  const auto& seen = s.forms[0].commands;
  ASSERT_EQ(seen.size(), std::size(expected));
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].kind, expected[i].kind) << i;
    EXPECT_EQ(seen[i].value, expected[i].value) << i;
    EXPECT_EQ(seen[i].bytes, expected[i].bytes) << i;
  }
  ASSERT_EQ(s.forms[1].commands.size(), 1u);
  EXPECT_EQ(s.forms[1].commands[0].kind, RollCommand::Reset);
  EXPECT_TRUE(s.forms[1].lines.empty());
}

TEST(RollPreview, RendersEachFormAsABox) {
  const std::string bytes =
      "\x1b@\x1bz\x01\x1bx\x01\x0e\xa6\x6e\xa8\xfd\xc0\x5c\xc6\x55XYZ\x1bx\x01\x14\nAB\x1bqC\n\x1b"
      "d\x01\x1bo\x0c"
      "1234567890123456789012\n\x0c\x1b";
  EXPECT_EQ(orvo::cli::render_roll(parse_roll(bytes), 20),
            "── form 1 (stamped) ──\n"
            "»好味餐廳XYZ         │ over by 2\n"
            "│AB<ESC 71>C         │\n"
            "│                    │\n"
            "└────────────────────┘\n"
            "  initialise, both stations, <ESC 71>\n"
            "── form 2 ────────────\n"
            "│1234567890123456789012│ over by 2\n"
            "└────────────────────┘\n"
            "truncated command at the end: <ESC>\n");
  EXPECT_EQ(orvo::cli::render_roll(parse_roll("")), "(nothing printed)\n");
}

TEST(RollPreview, FilesAreReadWhole_AndReplacedOnlyWhenWritten) {
  orvo::testing::TempDir dir;
  const auto absent = dir.path / "absent.prn";
  try {
    orvo::cli::read_file(absent);
    ADD_FAILURE() << "no error for a missing file";
  } catch (const orvo::cli::InputError& e) {
    EXPECT_EQ(std::string(e.what()), absent.string() + ": cannot open: No such file or directory");
  }
  const auto out = dir.path / "out.txt";
  std::ofstream(out) << "old";
  orvo::cli::write_text_file(out, std::string("new\0\xa4\x40", 6));
  EXPECT_EQ(orvo::cli::read_file(out), std::string("new\0\xa4\x40", 6));
  EXPECT_THROW(orvo::cli::write_text_file(dir.path / "no_dir" / "x.txt", "x"),
               orvo::cli::InputError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 1)
      << "a temporary file was left behind";
}

}  // namespace
