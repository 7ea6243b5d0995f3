#pragma once
// Runs the real orvo-invoice binary: exit status, what it wrote to stderr and stdout, the bytes
// on its port. Runs can overlap (start, then finish) for tests of concurrent prints and signals.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace orvo::testing {

namespace fs = std::filesystem;
inline const std::string kNow = "2010-03-05T14:30:05";

struct Outcome {
  int status = -1;  // the exit status, or 128 + the signal that ended the process
  std::string err;
  std::string out;
};

struct RunOptions {
  bool common = true;  // add --now, --no-pause, --prompt, --settings and --error-log
  std::string settings = "settings.ini";  // in the test's directory, unless absolute
  std::string now = kNow;
  std::string prompt = "none";
  bool pause = false;  // the layouts' pauses really wait
  std::string stdin_file = "/dev/null";
  std::vector<std::string> env = {};  // NAME=VALUE, replacing the inherited value
  std::string tag = "run";            // names the captured stdout and stderr of this run
};

class Cli : public ::testing::Test {
 protected:
  Cli() { dir_.write("settings.ini", ""); }

  fs::path path(const std::string& name) const { return dir_.path / name; }

  pid_t start(std::vector<std::string> args, const RunOptions& o = {}) const {
    if (o.common) {
      args.insert(args.end(),
                  {"--now", o.now, "--prompt", o.prompt, "--settings", path(o.settings).string(),
                   "--error-log", path("error.log").string()});
      if (!o.pause) args.push_back("--no-pause");
    }
    const char* bin_dir = std::getenv("ORVO_BIN_DIR");
    const fs::path binary = fs::path(bin_dir ? bin_dir : "ORVO_BIN_DIR unset") / "orvo-invoice";
    args.insert(args.begin(), binary.string());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<std::string> env_strings = o.env;
    for (char** e = environ; *e; ++e) {
      const std::string_view entry(*e);
      const auto name = entry.substr(0, entry.find('=') + 1);
      bool replaced = false;
      for (const auto& mine : o.env) replaced = replaced || mine.starts_with(name);
      if (!replaced) env_strings.emplace_back(entry);
    }
    std::vector<char*> envp;
    for (auto& e : env_strings) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, o.stdin_file.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, path(o.tag + ".out").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, path(o.tag + ".err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) ADD_FAILURE() << "cannot run " << binary << ": " << std::strerror(rc);
    return rc == 0 ? pid : -1;
  }

  Outcome finish(pid_t pid, const RunOptions& o = {}) const {
    int ws = 0;
    if (pid < 0 || waitpid(pid, &ws, 0) != pid) return {};
    return {WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws), read_file(path(o.tag + ".err")),
            read_file(path(o.tag + ".out"))};
  }

  Outcome run(const std::vector<std::string>& args, const RunOptions& o = {}) const {
    return finish(start(args, o), o);
  }

  // ASCII fields, so that they can be found verbatim in the printed bytes.
  fs::path small_sale() const {
    return dir_.write("sale.json", R"({
      "invoice": {"InvNo": "AB12345678", "Head0": "ORVO TEST SHOP", "StoreID": "S01",
                  "POSID": "02", "OrderAmt": 260, "InvAmt": 260},
      "items": [{"itemname": "GREEN TEA", "PriceCap": "", "Qty": 4, "Price": 65, "Amt": 260,
                 "ItemType": "", "RefKPType": "", "Remark": ""}]})");
  }

  // A sale of `n` item lines, several forms long on the standard roll.
  fs::path long_sale(const std::string& name, const std::string& inv_no, int n) const {
    std::string items;
    for (int i = 1; i <= n; ++i) {
      items += std::string(i > 1 ? "," : "") + R"({"itemname": "ITEM )" + std::to_string(i) +
               R"(", "PriceCap": "", "Qty": 1, "Price": 10, "Amt": 10, "ItemType": "",
                 "RefKPType": "", "Remark": ""})";
    }
    return dir_.write(name, R"({"invoice": {"InvNo": ")" + inv_no + R"(", "Head0": "SHOP )" +
                                inv_no + R"(", "InvAmt": )" + std::to_string(10 * n) +
                                R"(}, "items": [)" + items + "]}");
  }

  TempDir dir_;
};

}  // namespace orvo::testing
