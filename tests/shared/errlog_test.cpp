#include "shared/errlog.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>

#include "shared/cp950.h"
#include "support/fake_host.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using testing::FakeHost;

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::size_t open_fds() {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

const std::string kRecord =
    "**記錄時間 - 10/03/05, 14:30:05 \r\n"
    "處理程序: (ROCDate8)\r\n"
    "執行錯誤, 代碼: 5\r\n"
    "訊息: \r\n"
    "     Invalid procedure call or argument\r\n"
    "\r\n";

class ErrLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("orvo-errlog-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
  FakeHost host_;
  const Error error_{err::kInvalidArgument, "Invalid procedure call or argument"};
};

TEST_F(ErrLogTest, AppendsOneBig5RecordAndTellsTheOperator) {
  const fs::path log = dir_ / "nested" / "error.log";  // directories are created
  ScopedEnv env("ORVO_ERROR_LOG", log.c_str());
  host_.busy = true;
  const auto fds = open_fds();

  ErrLog(host_, "ROCDate8", error_);

  const std::string bytes = read_file(log);
  EXPECT_EQ(bytes, to_cp950(kRecord));
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 4), "**\xB0\x4F");  // "記"
  const std::string proc = "\xB3\x42\xB2\x7A";   // "處理"
  EXPECT_EQ(bytes.find(proc), bytes.find("\r\n") + 2);
  EXPECT_EQ(open_fds(), fds);

  const std::string message = kRecord.substr(kRecord.find("\r\n") + 2);
  EXPECT_EQ(error_message("ROCDate8", error_), message);
  EXPECT_EQ(host_.beeps, 1);
  ASSERT_EQ(host_.boxes.size(), 1u);
  EXPECT_EQ(host_.boxes[0].text, message);
  EXPECT_EQ(host_.boxes[0].icon, BoxIcon::Exclamation);
  EXPECT_EQ(host_.busy_calls, std::vector<bool>{false});

  // A second record goes after the first; the object error number prints as signed decimal.
  ErrLog(host_, "PrintInv", Error(kObjectError, "PrintInv", "COM1: no such device"));
  EXPECT_EQ(read_file(log), to_cp950(kRecord +
                                     "**記錄時間 - 10/03/05, 14:30:05 \r\n"
                                     "處理程序: (PrintInv)\r\n"
                                     "執行錯誤, 代碼: -2147221504\r\n"
                                     "訊息: \r\n"
                                     "     COM1: no such device\r\n\r\n"));
}

TEST_F(ErrLogTest, UnusableLogStillShowsTheBox) {
  fs::create_directories(dir_ / "adir");
  std::ofstream(dir_ / "plain") << "x";
  const fs::path paths[] = {
      "/proc/orvo-no-such-dir/error.log",
      dir_ / "plain" / "error.log",  // a regular file where a directory should be
      dir_ / "adir",                 // a directory where the file should be
  };
  for (const auto& p : paths) {
    ScopedEnv env("ORVO_ERROR_LOG", p.c_str());
    FakeHost host;
    const auto fds = open_fds();
    EXPECT_NO_THROW(ErrLog(host, "ROCDate8", error_)) << p;
    EXPECT_EQ(open_fds(), fds) << p;
    ASSERT_EQ(host.boxes.size(), 1u) << p;
    EXPECT_EQ(host.boxes[0].icon, BoxIcon::Exclamation);
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(host.busy_calls, std::vector<bool>{false});
  }
  EXPECT_EQ(read_file(dir_ / "plain"), "x");
}

TEST_F(ErrLogTest, ConcurrentProcessesNeverInterleaveRecords) {
  const fs::path log = dir_ / "error.log";
  ScopedEnv env("ORVO_ERROR_LOG", log.c_str());
  constexpr int kEach = 1000;
  // Long enough that a record split into several writes would be caught interleaving.
  const std::string child_desc(600, 'c');
  const std::string parent_desc(600, 'p');

  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    FakeHost host;
    for (int i = 0; i < kEach; ++i) ErrLog(host, "Child", Error(1, child_desc));
    ::_exit(0);
  }
  for (int i = 0; i < kEach; ++i) ErrLog(host_, "Parent", Error(2, parent_desc));
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  const std::string stamp = "**記錄時間 - 10/03/05, 14:30:05 \r\n";
  const std::string marker = to_cp950("**記錄時間 - ");
  const std::string child = to_cp950(stamp + error_message("Child", Error(1, child_desc)));
  const std::string parent = to_cp950(stamp + error_message("Parent", Error(2, parent_desc)));

  const std::string bytes = read_file(log);
  ASSERT_EQ(bytes.rfind(marker, 0), 0u);
  int children = 0, parents = 0, broken = 0;
  for (std::size_t at = 0; at < bytes.size();) {
    std::size_t next = bytes.find(marker, at + marker.size());
    if (next == std::string::npos) next = bytes.size();
    const std::string_view record(bytes.data() + at, next - at);
    if (record == child) {
      ++children;
    } else if (record == parent) {
      ++parents;
    } else {
      ++broken;
    }
    at = next;
  }
  EXPECT_EQ(broken, 0);
  EXPECT_EQ(children, kEach);
  EXPECT_EQ(parents, kEach);
}

TEST(ErrorLogPath, FromEnvironment) {
  struct Case {
    const char* orvo;
    const char* xdg;
    const char* home;
    fs::path expected;
  } cases[] = {
      {"/var/log/orvo.log", "/xdg", "/home/u", "/var/log/orvo.log"},
      {"", "/xdg", "/home/u", "/xdg/Orvo3/error.log"},
      {nullptr, "relative", "/home/u", "/home/u/.local/state/Orvo3/error.log"},
      {nullptr, nullptr, "/home/u", "/home/u/.local/state/Orvo3/error.log"},
      {nullptr, nullptr, nullptr, ""},
  };
  for (const auto& c : cases) {
    ScopedEnv a("ORVO_ERROR_LOG", c.orvo), b("XDG_STATE_HOME", c.xdg), h("HOME", c.home);
    EXPECT_EQ(error_log_path(), c.expected);
  }
}

}  // namespace
}  // namespace orvo
