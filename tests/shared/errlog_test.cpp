#include "shared/errlog.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "shared/case_file.h"
#include "shared/cp950.h"
#include "support/fake_host.h"
#include "support/fd_count.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace orvo {
namespace {

using testing::FakeHost;
using testing::open_fd_count;
using testing::read_file;
using testing::ScopedEnv;

const std::string kStamp = "**記錄時間 - 10/03/05, 14:30:05 \r\n";
const std::string kMessage =
    "處理程序: (ROCDate8)\r\n"
    "執行錯誤, 代碼: 5\r\n"
    "訊息: \r\n"
    "     Invalid procedure call or argument\r\n"
    "\r\n";

class ErrLogTest : public ::testing::Test {
 protected:
  testing::TempDir dir_;
  FakeHost host_;
  const Error error_{err::kInvalidArgument, "Invalid procedure call or argument"};
};

TEST_F(ErrLogTest, AppendsOneBig5RecordAndTellsTheOperator) {
  const auto log = dir_ / "nested" / "error.log";  // directories are created
  ScopedEnv env("ORVO_ERROR_LOG", log.c_str());
  const int fds = open_fd_count();

  ErrLog(host_, "ROCDate8", error_);
  EXPECT_EQ(read_file(log), to_cp950(kStamp + kMessage));
  EXPECT_EQ(read_file(log).substr(0, 4), "**\xB0\x4F") << "Big5, not UTF-8";
  EXPECT_EQ(open_fd_count(), fds);
  EXPECT_EQ(host_.beeps, 1);
  ASSERT_EQ(host_.boxes.size(), 1u);
  EXPECT_EQ(host_.boxes[0].text, kMessage);
  EXPECT_EQ(host_.boxes[0].icon, BoxIcon::Exclamation);
  EXPECT_EQ(host_.busy_calls, std::vector<bool>{false});

  // A second record goes after the first; the object error number prints as signed decimal.
  ErrLog(host_, "PrintInv", Error(kObjectError, "PrintInv", "COM1: no such device"));
  EXPECT_EQ(read_file(log), to_cp950(kStamp + kMessage + kStamp +
                                     "處理程序: (PrintInv)\r\n"
                                     "執行錯誤, 代碼: -2147221504\r\n"
                                     "訊息: \r\n"
                                     "     COM1: no such device\r\n\r\n"));
}

TEST_F(ErrLogTest, UnusableLogStillShowsTheBox) {
  const auto plain = dir_.write("plain", "x");
  std::filesystem::create_directories(dir_ / "adir");
  // A regular file where a directory should be; a directory where the file should be.
  for (const auto& p : {plain / "error.log", dir_ / "adir"}) {
    ScopedEnv env("ORVO_ERROR_LOG", p.c_str());
    FakeHost host;
    const int fds = open_fd_count();
    EXPECT_NO_THROW(ErrLog(host, "ROCDate8", error_)) << p;
    EXPECT_EQ(open_fd_count(), fds) << p;
    EXPECT_EQ(host.boxes.size(), 1u) << p;
    EXPECT_EQ(host.busy_calls, std::vector<bool>{false});
  }
  EXPECT_EQ(read_file(plain), "x");
}

// A check run keeps what the print would log, goes on as the print would, and leaves no trace;
// a caller that tells the operator itself only appends the record.
TEST_F(ErrLogTest, CapturingInsteadOfLoggingAndLoggingOnly) {
  const auto log = dir_ / "error.log";
  ScopedEnv env("ORVO_ERROR_LOG", log.c_str());
  {
    const ErrLogCapture outer;
    {
      const ErrLogCapture inner;
      ErrLog(host_, "ROCDate8", error_);
      ASSERT_TRUE(inner.last());
      EXPECT_EQ(inner.last()->number(), kObjectError);
      EXPECT_EQ(inner.last()->source(), "ROCDate8");
      EXPECT_EQ(inner.last()->description(), error_.description());
    }
    EXPECT_FALSE(outer.last());
    ErrLog(host_, "Print_FE", error_);
    ASSERT_TRUE(outer.last());
    EXPECT_EQ(outer.last()->source(), "Print_FE");
  }
  EXPECT_FALSE(std::filesystem::exists(log));
  EXPECT_EQ(host_.beeps, 0);
  EXPECT_TRUE(host_.boxes.empty());
  EXPECT_TRUE(host_.busy_calls.empty());

  append_error_log(host_, "ROCDate8", error_);
  EXPECT_EQ(read_file(log), to_cp950(kStamp + kMessage));
  EXPECT_EQ(host_.beeps, 0);
  EXPECT_TRUE(host_.boxes.empty());
  ErrLog(host_, "ROCDate8", error_);
  EXPECT_EQ(host_.boxes.size(), 1u) << "the guard ends with its scope";
}

TEST_F(ErrLogTest, ConcurrentProcessesNeverInterleaveRecords) {
  const auto log = dir_ / "error.log";
  ScopedEnv env("ORVO_ERROR_LOG", log.c_str());
  constexpr int kEach = 1000;
  // Long enough that a record split into several writes would be caught interleaving.
  const Error child_error(1, std::string(600, 'c')), parent_error(2, std::string(600, 'p'));

  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    FakeHost host;
    for (int i = 0; i < kEach; ++i) ErrLog(host, "Child", child_error);
    ::_exit(0);
  }
  for (int i = 0; i < kEach; ++i) ErrLog(host_, "Parent", parent_error);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  // Whole copies of the two records that together cover every byte: nothing split or torn.
  const std::string bytes = read_file(log);
  const std::string child = to_cp950(kStamp + error_message("Child", child_error));
  const std::string parent = to_cp950(kStamp + error_message("Parent", parent_error));
  auto copies = [&](const std::string& record) {
    int n = 0;
    for (auto at = bytes.find(record); at != std::string::npos; at = bytes.find(record, at + 1))
      ++n;
    return n;
  };
  EXPECT_EQ(copies(child), kEach);
  EXPECT_EQ(copies(parent), kEach);
  EXPECT_EQ(bytes.size(), kEach * (child.size() + parent.size()));
}

// The rules every per-user file follows; the settings file shares them.
TEST(ErrorLogPath, OverrideThenAbsoluteXdgThenHome) {
  for (const auto& c : testing::read_cases("shared/data/error_log_path.tsv")) {
    const auto env = [](const std::string& v) { return v == "-" ? nullptr : v.c_str(); };
    ScopedEnv a("ORVO_ERROR_LOG", env(c[0])), b("XDG_STATE_HOME", env(c[1])), h("HOME", env(c[2]));
    EXPECT_EQ(error_log_path(), std::filesystem::path(c[3])) << c[0] << " " << c[1] << " " << c[2];
  }
}

}  // namespace
}  // namespace orvo
