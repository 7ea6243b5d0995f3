// Runs the real orvo-invoice binary and checks its exit status, its one error line and the bytes
// it sends to a file port.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* bin = std::getenv("ORVO_BIN_DIR");
    ASSERT_NE(bin, nullptr) << "ORVO_BIN_DIR is not set";
    binary_ = fs::path(bin) / "orvo-invoice";
    dir_ = fs::temp_directory_path() /
           ("orvo_cli_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  fs::path path(const std::string& name) const { return dir_ / name; }

  fs::path write(const std::string& name, const std::string& text) const {
    std::ofstream(path(name), std::ios::binary) << text;
    return path(name);
  }

  // The fixed clock, no pauses, no prompt waits, and logs and settings kept in the temp dir.
  std::vector<std::string> quiet(const std::string& now = "2010-03-05T14:30:05",
                                 const std::string& prompt = "none") const {
    return {"--now",
            now,
            "--no-pause",
            "--settings",
            path("settings.ini").string(),
            "--prompt",
            prompt,
            "--error-log",
            path("error.log").string()};
  }

  Outcome run(std::vector<std::string> args) const {
    const fs::path out = path("stdout.txt");
    const fs::path err = path("stderr.txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    args.insert(args.begin(), binary_.string());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    Outcome r;
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, binary_.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
      ADD_FAILURE() << "cannot start " << binary_ << ": " << rc;
      return r;
    }
    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0) {
    }
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    r.out = slurp(out);
    r.err = slurp(err);
    return r;
  }

  Outcome run_quiet(std::vector<std::string> args, const std::string& now = "2010-03-05T14:30:05",
                    const std::string& prompt = "none") const {
    for (auto& q : quiet(now, prompt)) args.push_back(q);
    return run(std::move(args));
  }

  // A small ASCII sale, so that its fields can be found verbatim in the printed bytes.
  fs::path small_sale() const {
    return write("sale.json", R"({
      "invoice": {"InvNo": "AB12345678", "Head0": "ORVO TEST SHOP", "StoreID": "S01",
                  "UserID": "U7", "POSID": "02", "OrderAmt": 260, "InvAmt": 260},
      "items": [{"itemname": "GREEN TEA", "PriceCap": "", "Qty": 2, "Price": 65, "Amt": 130,
                 "ItemType": "", "RefKPType": "", "Remark": ""},
                {"itemname": "BLACK TEA", "PriceCap": "", "Qty": 2, "Price": 65, "Amt": 130,
                 "ItemType": "", "RefKPType": "", "Remark": ""}]})");
  }

  fs::path binary_;
  fs::path dir_;
};

TEST_F(Cli, TestPrintWritesThePageAndCutsIt) {
  const fs::path port = path("test.prn");
  const Outcome r = run_quiet({"test-print", "--port", port.string()});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string bytes = slurp(port);
  ASSERT_GE(bytes.size(), 3u);
  EXPECT_EQ(bytes.substr(bytes.size() - 3), "\x1b\x6f\x0c");
}

TEST_F(Cli, PrintPassesTheSaleAndDetailToTheObject) {
  const fs::path sale = small_sale();
  const struct {
    std::vector<std::string> detail;
    bool items_listed;
  } cases[] = {{{"--detail", "Y"}, true}, {{}, false}, {{"--detail", "N"}, false}};
  for (const auto& c : cases) {
    const fs::path port = path("sale.prn");
    std::vector<std::string> args = {"print", sale.string(), "--type",
                                     "RP420", "--port",      port.string()};
    args.insert(args.end(), c.detail.begin(), c.detail.end());
    const Outcome r = run_quiet(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string bytes = slurp(port);
    const std::string label = c.detail.empty() ? "(no --detail)" : c.detail[1];
    for (const char* expected : {"ORVO TEST SHOP", "2010-03-05", "(5678)", "S01", "260"}) {
      EXPECT_NE(bytes.find(expected), std::string::npos) << label << ": " << expected;
    }
    EXPECT_EQ(bytes.find("GREEN TEA") != std::string::npos, c.items_listed) << label;
  }
}

TEST_F(Cli, ComponentErrorsExitThreeWithOneErrorLine) {
  const std::string sale = small_sale().string();
  const std::string port = path("out.prn").string();
  const struct {
    std::vector<std::string> args;
    std::string line;  // the whole line, or its start when `contains` is set
    std::string contains;
  } cases[] = {
      {{"test-print", "--type", "rp420", "--port", port},
       "error -2147221504 from InvPrintPort:: 不支援此發票機種類:rp420",
       ""},
      {{"print", sale, "--type", "rp420", "--port", port},
       "error -2147221504 from InvPrintPort:: 不支援此發票機種類:rp420",
       ""},
      {{"test-print"}, "error -2147221504 from TestPrint: 請先設定連接埠:InvPrintPort", ""},
      {{"test-print", "--port", "/dev/full"}, "error -2147221504 from TestPrint: ", "/dev/full"},
  };
  for (const auto& c : cases) {
    const Outcome r = run_quiet(c.args);
    EXPECT_EQ(r.status, 3) << c.args[0] << " " << c.args.back() << "\n" << r.err;
    std::vector<std::string> error_lines;
    for (const auto& l : lines(r.err)) {
      if (l.rfind("error ", 0) == 0) error_lines.push_back(l);
    }
    ASSERT_EQ(error_lines.size(), 1u) << r.err;
    if (c.contains.empty()) {
      EXPECT_EQ(error_lines[0], c.line);
    } else {
      EXPECT_EQ(error_lines[0].rfind(c.line, 0), 0u) << error_lines[0];
      EXPECT_NE(error_lines[0].find(c.contains), std::string::npos) << error_lines[0];
    }
  }
}

TEST_F(Cli, UsageAndInputErrorsExitTwoNamingTheProblem) {
  const std::string bad_json = write("bad.json", R"({"invoice": {"InvAmt": 1,}})").string();
  const std::string unknown = write("unknown.json", R"({"invoice": {"InvAmount": 1}})").string();
  const std::string absent = path("absent.json").string();
  const std::string sale = small_sale().string();
  const std::string port = path("never.prn").string();
  const std::string good_now = "2010-03-05T14:30:05";
  const struct {
    std::vector<std::string> args;
    std::string now;
    std::string prompt;
    std::vector<std::string> mentions;
  } cases[] = {
      {{"print", bad_json, "--port", port}, good_now, "none", {bad_json, "parse error"}},
      {{"print", unknown, "--port", port}, good_now, "none", {unknown, "InvAmount"}},
      {{"print", absent, "--port", port}, good_now, "none", {absent, "No such file"}},
      {{"print", sale, "--port", port}, "2010-03-05 14:30:05", "none", {"2010-03-05 14:30:05"}},
      {{"test-print", "--port", port}, "2010-02-29T10:00:00", "none", {"2010-02-29T10:00:00"}},
      {{"test-print", "--port", port}, good_now, "sometimes", {"sometimes"}},
      {{"print"}, good_now, "none", {"SALE.json"}},
  };
  for (const auto& c : cases) {
    const Outcome r = run_quiet(c.args, c.now, c.prompt);
    EXPECT_EQ(r.status, 2) << c.mentions[0] << "\n" << r.err;
    for (const auto& m : c.mentions) {
      EXPECT_NE(r.err.find(m), std::string::npos) << "stderr lacks " << m << ":\n" << r.err;
    }
    EXPECT_FALSE(fs::exists(port)) << "nothing may be printed on a usage error";
  }
}

}  // namespace
