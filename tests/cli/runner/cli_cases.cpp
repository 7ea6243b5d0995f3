// Every folder tests/cli/cases/NAME is one run of orvo-invoice:
//   args          the arguments, one a line
//   env           NAME=VALUE lines added to the environment (optional)
//   stdin         the standard input (optional; else none)
//   cups          CUPS admin commands, one a line: the run gets a private scheduler (optional)
//   expected.txt  exit status, stdout, stderr, the files written or changed, the CUPS jobs
// Every other file (subfolders too) is copied into the scratch directory the tool runs in; FILE.esc
// is written as FILE, unescaped (\xHH, \\, \n; its line ends are only for reading). In every file
// {dir} stands for the scratch directory and {src} for the source tree. Output that holds control
// bytes or lacks a final line feed is shown escaped, CP950 pairs as their characters. A difference
// fails with a diff and leaves actual.txt beside expected.txt; ORVO_UPDATE_CASES=1
// (scripts/update_cases.sh) writes expected.txt instead.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "cli/cli_run.h"
#include "page_printer_host/cups_scheduler.h"
#include "shared/cp950.h"

namespace orvo::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kCases = fs::path(ORVO_SOURCE_DIR) / "tests/cli/cases";
// Not copied to the scratch directory, nor listed from it.
const std::set<std::string> kControlFiles = {"args",         "env",        "stdin",   "cups",
                                             "expected.txt", "actual.txt", ".stdout", ".stderr"};

std::string replaced(std::string s, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size())
    s.replace(at, from.size(), to);
  return s;
}

// CP950 first: a pair's second byte may be a backslash.
std::string unescaped(const std::string& text) {
  const std::string in = to_cp950(text);
  std::string out;
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (static_cast<unsigned char>(in[i]) >= 0x80) {
      out += in.substr(i++, 2);
    } else if (in[i] != '\\') {
      if (in[i] != '\n') out += in[i];
    } else if (in[++i] == 'x') {
      out += static_cast<char>(std::stoi(in.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += in[i] == 'n' ? '\n' : in[i];
    }
  }
  return out;
}

// Shown as it is: lines with no control character.
bool plain_text(const std::string& s) {
  return s.ends_with('\n') && std::none_of(s.begin(), s.end(), [](char c) {
           return (c != '\n' && static_cast<unsigned char>(c) < 0x20) || c == 0x7f;
         });
}

std::string escaped(std::string_view in) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < in.size(); ++i) {
    const auto b = static_cast<unsigned char>(in[i]);
    if (b >= 0x80 && i + 1 < in.size() &&
        to_cp950(from_cp950(in.substr(i, 2))) == in.substr(i, 2)) {
      out += from_cp950(in.substr(i++, 2));
    } else if (b == '\n' || b == '\\') {
      out += b == '\n' ? "\\n\n" : "\\\\";
    } else if (b < 0x20 || b >= 0x7f) {
      out += std::string("\\x") + kHex[b >> 4] + kHex[b & 0xf];
    } else {
      out += static_cast<char>(b);
    }
  }
  return out.empty() || out.back() == '\n' ? out : out + "\n";
}

std::string section(const std::string& title, const std::string& bytes) {
  if (bytes.empty()) return "--- " + title + " (empty)\n";
  if (plain_text(bytes)) return "--- " + title + "\n" + bytes;
  return "--- " + title + " (" + std::to_string(bytes.size()) + " bytes, escaped)\n" +
         escaped(bytes);
}

std::map<fs::path, std::string> files_in(const fs::path& dir) {
  std::map<fs::path, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    if (e.is_regular_file()) out[fs::relative(e.path(), dir)] = read_file(e.path());
  }
  return out;
}

std::string run_case(const fs::path& case_dir) {
  TempDir scratch;
  auto expand = [&](const std::string& s) {
    return replaced(replaced(s, "{dir}", scratch.path.string()), "{src}", ORVO_SOURCE_DIR);
  };
  auto placeholders = [&](const std::string& s) {
    return replaced(replaced(s, scratch.path.string(), "{dir}"), ORVO_SOURCE_DIR, "{src}");
  };

  for (const auto& [file, text] : files_in(case_dir)) {
    const std::string name = file.string();
    if (kControlFiles.contains(name)) continue;
    fs::create_directories((scratch / name).parent_path());
    const bool esc = name.ends_with(".esc");
    scratch.write(esc ? name.substr(0, name.size() - 4) : name,
                  esc ? unescaped(expand(text)) : expand(text));
  }
  auto lines = [&](const char* file) {
    std::vector<std::string> out;
    std::istringstream in(expand(read_file(case_dir / file)));
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
  };
  std::optional<CupsScheduler> cups;
  if (fs::exists(case_dir / "cups")) cups.emplace();
  for (const auto& command : lines("cups")) cups->admin(command);
  const auto before = files_in(scratch.path);
  const std::string in =
      fs::exists(case_dir / "stdin") ? (case_dir / "stdin").string() : "/dev/null";
  const Outcome r = Tool{scratch.path, lines("env"), in}.run(lines("args"));

  std::string result = "exit " + std::to_string(r.status) + "\n";
  result += section("stdout", placeholders(r.out));
  result += section("stderr", placeholders(r.err));
  for (const auto& [name, bytes] : files_in(scratch.path)) {
    if (kControlFiles.contains(name) || (before.contains(name) && before.at(name) == bytes))
      continue;
    result += section("file " + name.string(), placeholders(bytes));
  }
  for (const auto& job : cups ? cups->jobs() : std::vector<CupsScheduler::Job>{})
    result += "--- CUPS job \"" + job.title + "\"\n";
  return result;
}

std::set<std::string> all_cases() {
  std::set<std::string> out;
  for (const auto& e : fs::directory_iterator(kCases)) out.insert(e.path().filename().string());
  return out;
}

class CliCase : public ::testing::TestWithParam<std::string> {};

TEST_P(CliCase, RunsAsExpected) {
  const fs::path dir = kCases / GetParam();
  const std::string actual = run_case(dir);
  fs::remove(dir / "actual.txt");
  if (const char* update = ::getenv("ORVO_UPDATE_CASES"); update && std::string(update) == "1") {
    std::ofstream(dir / "expected.txt", std::ios::binary) << actual;
  } else if (actual != read_file(dir / "expected.txt")) {
    std::ofstream(dir / "actual.txt", std::ios::binary) << actual;
    EXPECT_EQ(read_file(dir / "expected.txt"), actual)
        << "actual.txt is beside it; scripts/update_cases.sh cli/" << GetParam() << " takes it";
  }
}

// Case folders are named as tests may be.
INSTANTIATE_TEST_SUITE_P(, CliCase, ::testing::ValuesIn(all_cases()),
                         [](const auto& param) { return param.param; });

}  // namespace
}  // namespace orvo::testing
