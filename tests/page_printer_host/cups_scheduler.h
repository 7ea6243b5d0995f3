#pragma once
// A private CUPS scheduler for one test: its own configuration, socket and spool in a scratch
// directory, never the system's, and no root needed. libcups here and the admin tools run by
// admin() talk to it while it lives.
#include <cups/cups.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace orvo::testing {

class CupsScheduler {
 public:
  // Check HasFatalFailure() after constructing: a scheduler that does not start fails the test.
  CupsScheduler() {
    for (const char* sub : {"spool", "tmp", "state", "cache", "log", "bin/backend"}) {
      std::filesystem::create_directories(dir_ / sub);
    }
    // Its own user administers it, whether or not that user is in group lpadmin or root.
    dir_.write("cupsd.conf", "Listen " + socket_ + "\nBrowsing No\nPreserveJobFiles Yes\n" +
                                 "DefaultPolicy open\n<Policy open>\n  <Limit All>\n" +
                                 "    Order deny,allow\n  </Limit>\n</Policy>\n" +
                                 "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n");
    std::string files = "FileDevice Yes\nServerRoot " + dir_.path.string() + "\n";
    // A device that keeps what it is sent, for raw queues: "-v capture:PATH" writes each job to
    // PATH (a file: device gets nothing of a raw job without the filters of the cups package).
    std::filesystem::create_directory_symlink("/usr/lib/cups/daemon", dir_ / "bin/daemon");
    dir_.write("bin/backend/capture",
               "#!/bin/sh\n[ $# -eq 0 ] && exit 0\ncat ${6:+\"$6\"} >\"${DEVICE_URI#capture:}\" || exit 1\n");
    std::filesystem::permissions(dir_ / "bin/backend/capture", std::filesystem::perms::owner_all);
    for (const char* key : {"ServerBin bin", "RequestRoot spool", "TempDir tmp", "StateDir state",
                            "CacheDir cache", "ErrorLog log/error", "AccessLog log/access",
                            "PageLog log/page"}) {
      const std::string k(key);
      files += k.substr(0, k.find(' ')) + " " + (dir_ / k.substr(k.find(' ') + 1)).string() + "\n";
    }
    dir_.write("cups-files.conf", files);
    start();
    cupsSetServer(socket_.c_str());
  }

  ~CupsScheduler() {
    cupsSetServer(nullptr);
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);  // nothing of it is kept, and SIGTERM can take a second
      ::waitpid(pid_, nullptr, 0);
    }
  }

  CupsScheduler(const CupsScheduler&) = delete;
  CupsScheduler& operator=(const CupsScheduler&) = delete;

  // Runs a CUPS admin command ("lpadmin -p X ...") against this scheduler. The tools live in
  // /usr/sbin, which a user's PATH often lacks.
  void admin(const std::string& command) const {
    const std::string tool = command.starts_with('/') ? command : "/usr/sbin/" + command;
    ASSERT_EQ(std::system((tool + " >" + (dir_ / "log/admin").string() + " 2>&1").c_str()), 0)
        << tool << ": " << read_file(dir_ / "log/admin");
  }
  // A queue whose device is a file here.
  void add_queue(const std::string& name, const std::string& options = "") const {
    admin("lpadmin -p " + name + " -E -v file://" + (dir_ / name).string() + " " + options);
  }

  struct Job {
    int id;
    std::string title;
    std::string document;  // the bytes the scheduler spooled
  };
  std::vector<Job> jobs() const {
    std::vector<Job> out;
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    for (int i = 0; i < n; ++i) {
      char spooled[32];
      std::snprintf(spooled, sizeof spooled, "spool/d%05d-001", jobs[i].id);
      out.push_back({jobs[i].id, jobs[i].title, read_file(dir_ / spooled)});
    }
    cupsFreeJobs(n, jobs);
    std::sort(out.begin(), out.end(), [](const Job& a, const Job& b) { return a.id < b.id; });
    return out;
  }

 private:
  void start() {
    const char* cupsd = "/usr/sbin/cupsd";
    ASSERT_EQ(::access(cupsd, X_OK), 0) << cupsd << " is missing: run scripts/setup.sh";
    const std::string conf = (dir_ / "cupsd.conf").string(), files = (dir_ / "cups-files.conf").string();
    pid_ = ::fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives a crashed test
      ::execl(cupsd, "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr);
      ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!listening()) {
      ASSERT_EQ(::waitpid(pid_, nullptr, WNOHANG), 0) << read_file(dir_ / "log/error");
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "cupsd did not start listening";
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  bool listening() const {
    http_t* http = httpConnect2(socket_.c_str(), 0, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_NEVER, 1,
                                100, nullptr);
    httpClose(http);
    return http != nullptr;
  }

  TempDir dir_;
  std::string socket_ = (dir_ / "cups.sock").string();
  ScopedEnv env_{"CUPS_SERVER", socket_.c_str()};
  pid_t pid_ = -1;
};

}  // namespace orvo::testing
