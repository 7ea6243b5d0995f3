// The roll preview: bytes parsed into forms and lines, and the text rendered from them.
#include "../../tools/roll_preview.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "../../tools/file_io.h"
#include "../../tools/sale_json.h"
#include "support/temp_dir.h"

namespace {

using orvo::cli::parse_roll;
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
    std::string bytes, outline, truncated;  // truncated: "" when nothing is cut off
  } cases[] = {
      // A feed or an advance moves the paper from the line being printed: a pending line is the
      // first of its n lines.
      {"AB\nC\033d\002\033a\001", "[AB][C][][]\n", ""},
      {"A\n\033a\003B\033a\002C\033d\001D\033d\000E\n"s, "[A][][][][B][][C][D][E]\n", ""},
      {"A\033d\001B\033d\003", "[A][B][][]\n", ""},
      {"\033d\002\033! AB 1\033!\000\033d\00199/03/05\033d\001A\033d\000"s,
       "[][][»AB 1][99/03/05][A]\n", ""},
      {"A\r\nB\rC\n\r\nD", "[A][B][C][][D~]\n", ""},
      {"A\033o\fB\f\f", "+[A]\n[B]\n\n", ""},
      {"A\033q\016B\n\033z\002\033c1\002\033c0\002\n",
       "[A<ESC 71><0E>B][<ESC 7A 02><ESC 63 31 02>]\n", ""},
      {"A\n\033d", "[A]\n", "\033d"},
      {"A\033", "[A~]\n", "\033"},
      {"\033PB1AB", "", "\033PB1AB"},
      {"\033LB", "", "\033LB"},
      {"\033x\001\016\xc0\x5c\033x\001\024\xc6\x55\nA\n", "[»餐廳][A]\n", ""},
      {"\033! A\n\033!\000B\n\033! \033@C\n"s, "[»A][B][C]\n", ""},
      {"\033R\r\033PB1AB\r\033LB1\r\033VB\rC\033VB\r", "[AB][]\n[C]\n", ""},
      {"\033PB1A#B\n\033PB1C\r\nD\r\n", "[A#B][C][D]\n", ""},
      {"\033RX\033PA\r", "[<ESC 52>X<ESC 50>A]\n", ""},
  };
  for (const auto& c : cases) {
    const RollStream s = parse_roll(c.bytes);
    EXPECT_EQ(outline(s), c.outline) << orvo::cli::hex_marker(c.bytes);
    EXPECT_EQ(s.truncated.value_or(""), c.truncated) << orvo::cli::hex_marker(c.bytes);
  }
}

TEST(RollPreview, RendersEachFormAsABox) {
  const std::string bytes =
      "\033@\033z\001\033c0\002\033x\001\016\xa6\x6e\xa8\xfd\xc0\x5c\xc6\x55XYZ\033x\001\024\n"
      "AB\033qC\n\033d\001\033o\f\033R\r\033!\0001234567890123456789012\n\f\033"s;
  EXPECT_EQ(orvo::cli::render_roll(parse_roll(bytes), 20),
            "── form 1 (stamped) ──\n"
            "»好  味  餐  廳  X Y Z │ over by 2\n"
            "│AB<ESC 71>C         │\n"
            "│                    │\n"
            "└────────────────────┘\n"
            "  initialise, both stations, invoice station only, <ESC 71>\n"
            "── form 2 ────────────\n"
            "│1234567890123456789012│ over by 2\n"
            "└────────────────────┘\n"
            "  reset, print mode 00\n"
            "truncated command at the end: <ESC>\n");
  EXPECT_EQ(orvo::cli::render_roll(parse_roll("")), "(nothing printed)\n");
  // Wide text is drawn as wide as it prints, so the box stays aligned around it.
  EXPECT_EQ(orvo::cli::render_roll(parse_roll("A\033x\001\016B\xa4\x40\033x\001\024C\n"
                                              "\033! D\033!\001E\n"s),
                                   10),
            "── form 1 ──\n"
            "»AB 一  C  │\n"
            "»D E       │\n"
            "└──────────┘\n"
            "  print mode 20, print mode 01\n");
}

TEST(RollPreview, FilesAreReadWhole_AndReplacedOnlyWhenWritten) {
  orvo::testing::TempDir dir;
  const auto absent = dir.path / "absent.prn";
  for (const auto& [file, reason] : {std::pair{absent, ": cannot open: No such file or directory"},
                                     std::pair{dir.path, ": cannot read: Is a directory"}}) {
    try {
      orvo::cli::read_file(file);
      ADD_FAILURE() << "no error for " << file;
    } catch (const orvo::cli::InputError& e) {
      EXPECT_EQ(std::string(e.what()), file.string() + reason);
    }
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
