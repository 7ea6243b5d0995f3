// Runs the real orvo-invoice binary: exit status, its one error line, the bytes on a file port.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "shared/cp950.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
const std::string kNow = "2010-03-05T14:30:05";

struct Outcome {
  int status = -1;
  std::string err;
};

class Cli : public ::testing::Test {
 protected:
  fs::path path(const std::string& name) const { return dir_.path / name; }

  // Adds the fixed clock, no pauses or prompt waits, and settings and log in the temp dir.
  Outcome run(std::vector<std::string> args, const std::string& now = kNow,
              const std::string& prompt = "none") const {
    args.insert(args.end(),
                {"--now", now, "--no-pause", "--prompt", prompt, "--settings",
                 path("settings.ini").string(), "--error-log", path("error.log").string()});
    const char* bin_dir = std::getenv("ORVO_BIN_DIR");
    const fs::path binary = fs::path(bin_dir ? bin_dir : "ORVO_BIN_DIR unset") / "orvo-invoice";
    args.insert(args.begin(), binary.string());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, path("stderr.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int ws = 0;
    if (rc != 0 || waitpid(pid, &ws, 0) != pid) {
      ADD_FAILURE() << "cannot run " << binary;
      return {};
    }
    return {WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws),
            orvo::testing::read_file(path("stderr.txt"))};
  }

  // ASCII fields, so that they can be found verbatim in the printed bytes.
  fs::path small_sale() const {
    return dir_.write("sale.json", R"({
      "invoice": {"InvNo": "AB12345678", "Head0": "ORVO TEST SHOP", "StoreID": "S01",
                  "POSID": "02", "OrderAmt": 260, "InvAmt": 260},
      "items": [{"itemname": "GREEN TEA", "PriceCap": "", "Qty": 4, "Price": 65, "Amt": 260,
                 "ItemType": "", "RefKPType": "", "Remark": ""}]})");
  }

  orvo::testing::TempDir dir_;
};

TEST_F(Cli, TestPrintWritesTheFixedInvoiceForTheGivenClock) {
  const Outcome r = run({"test-print", "--port", path("test.prn").string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(orvo::testing::read_file(path("test.prn")),
            orvo::to_cp950("\x1b@\x1bz\x01\x1b"
                           "d\x04機POSID6 序123456  收123\n發票號碼:AB12345678\n"
                           "\x1b"
                           "d\x01餐費小計:  12,500元 \n服務費  :   1,250元 \n"
                           "       合計:   13,750元 \n99/03/05 14:30:05\n\x1b"
                           "d\x0b\x1bo\x0c"));
}

TEST_F(Cli, PrintPassesTheSaleAndDetailToTheObject) {
  const std::string sale = small_sale().string();
  for (const auto& [detail, items_listed] :
       {std::pair{"", false}, std::pair{"N", false}, std::pair{"Y", true}}) {
    std::vector<std::string> args = {"print", sale, "--port", path("sale.prn").string()};
    if (*detail) args.insert(args.end(), {"--detail", detail});
    const Outcome r = run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string bytes = orvo::testing::read_file(path("sale.prn"));
    for (const char* expected : {"ORVO TEST SHOP", "2010-03-05", "(5678)", "S01", "260"}) {
      EXPECT_NE(bytes.find(expected), std::string::npos) << detail << ": " << expected;
    }
    EXPECT_EQ(bytes.find("GREEN TEA") != std::string::npos, items_listed) << detail;
  }
}

TEST_F(Cli, ExamplesPrint) {
  const char* source_dir = std::getenv("ORVO_SOURCE_DIR");
  const fs::path examples =
      (source_dir ? fs::path(source_dir) : fs::path(__FILE__).parent_path() / "../..") / "examples";
  const struct {
    const char* name;
    const char* type;
  } cases[] = {{"restaurant_dinner", "RP420"},      {"banquet_multi_form", "RP420"},
               {"deposit", "RP420"},                {"entertainment_venue", "RP420A"},
               {"ktv_room", "KTV420"},              {"tp3688_restaurant", "TP3688"}};
  for (const auto& c : cases) {
    const Outcome r = run({"print", (examples / (std::string(c.name) + ".json")).string(), "--type",
                           c.type, "--detail", "Y", "--port", path("example.prn").string()});
    EXPECT_EQ(r.status, 0) << c.name << "\n" << r.err;
  }
}

// The store printers report a failed print through the error log: PrintInv returns False.
TEST_F(Cli, StoreExamplesPrint_AndAFailedStorePrintExitsOne) {
  const char* source_dir = std::getenv("ORVO_SOURCE_DIR");
  const fs::path examples =
      (source_dir ? fs::path(source_dir) : fs::path(__FILE__).parent_path() / "../..") / "examples";
  for (const std::string type : {"DAYEH", "FE", "CF"}) {
    std::string name = type;
    for (char& c : name) c = static_cast<char>(std::tolower(c));
    const std::string sale = (examples / ("store_" + name + ".json")).string();
    const Outcome ok = run({"print", sale, "--type", type, "--port", path("store.prn").string()});
    EXPECT_EQ(ok.status, 0) << type << "\n" << ok.err;
    EXPECT_TRUE(orvo::testing::read_file(path("store.prn")).ends_with("\x0c")) << type;

    const Outcome failed =
        run({"print", sale, "--type", type, "--port", path("absent/store.prn").string()});
    EXPECT_EQ(failed.status, 1) << type << "\n" << failed.err;
    EXPECT_NE(orvo::testing::read_file(path("error.log"))
                  .find(orvo::to_cp950("處理程序: (Print_" + type + ")\r\n")),
              std::string::npos)
        << type;
  }
  const struct {
    const char *name, *type, *detail;
  } forms[] = {{"hotpot_sp320d", "SP320", "Y"},
               {"takeout_counter_sp320", "SP320", "N"},
               {"bistro_wp103", "WP103", "N"},
               {"brunch_sp300", "SP300", "N"},
               {"noodle_sp200", "SP200", "N"}};
  for (const auto& f : forms) {
    const Outcome r = run({"print", (examples / (std::string(f.name) + ".json")).string(), "--type",
                           f.type, "--detail", f.detail, "--port", path("example.prn").string()});
    EXPECT_EQ(r.status, 0) << f.name << "\n" << r.err;
    EXPECT_EQ(r.err, "") << f.name;
  }
}

TEST_F(Cli, ComponentErrorsExitThreeWithOneErrorLine) {
  const std::string sale = small_sale().string();
  const std::string port = path("out.prn").string();
  const std::string bad_type = "error -2147221504 from InvPrintPort:: 不支援此發票機種類:rp420\n";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"test-print", "--type", "rp420", "--port", port}, bad_type},
      {{"print", sale, "--type", "rp420", "--port", port}, bad_type},
      {{"test-print"}, "error -2147221504 from TestPrint: 請先設定連接埠:InvPrintPort\n"},
      {{"test-print", "--port", "/dev/full"},
       "error -2147221504 from TestPrint: /dev/full: write failed: No space left on device\n"},
  };
  for (const auto& [args, line] : cases) {
    const Outcome r = run(args);
    EXPECT_EQ(r.status, 3) << line;
    EXPECT_EQ(r.err, line);
  }
}

TEST_F(Cli, UsageAndInputErrorsExitTwoNamingTheProblem) {
  const std::string unknown =
      dir_.write("unknown.json", R"({"invoice": {"InvAmount": 1}})").string();
  const std::string absent = path("absent.json").string();
  const std::string sale = small_sale().string();
  const std::string port = path("never.prn").string();
  const struct {
    std::vector<std::string> args;
    std::string now, prompt, mention;
  } cases[] = {
      {{"print", unknown, "--port", port}, kNow, "none", "InvAmount"},
      {{"print", absent, "--port", port}, kNow, "none", absent + ": cannot open"},
      {{"print", sale, "--port", port}, "2010-03-05 14:30:05", "none", "2010-03-05 14:30:05"},
      {{"test-print", "--port", port}, "2010-02-29T10:00:00", "none", "2010-02-29T10:00:00"},
      {{"test-print", "--port", port}, kNow, "sometimes", "sometimes"},
      {{"print"}, kNow, "none", "SALE.json"},
  };
  for (const auto& c : cases) {
    const Outcome r = run(c.args, c.now, c.prompt);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(c.mention), std::string::npos) << c.mention << " not in: " << r.err;
    EXPECT_FALSE(fs::exists(port)) << "nothing may be printed on a usage error";
  }
}

}  // namespace
