#pragma once
// A private CUPS scheduler for one test: its own configuration, socket and spool in a scratch
// directory, never the system's. libcups in this process (and CUPS_SERVER for child processes)
// is pointed at its socket while it runs.
#include <cups/cups.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace orvo::testing {

class CupsScheduler {
 public:
  CupsScheduler() : socket_((dir_ / "cups.sock").string()), env_("CUPS_SERVER", socket_.c_str()) {
    for (const char* sub : {"conf", "spool", "tmp", "state", "cache", "log"}) {
      std::filesystem::create_directories(dir_ / sub);
    }
    dir_.write("conf/cupsd.conf",
               "Listen " + socket_ + "\n"
               "LogLevel warn\n"
               "Browsing No\n"
               "WebInterface No\n"
               "DefaultPaperSize A4\n"
               "PreserveJobFiles Yes\n"
               "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
               "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
    dir_.write("conf/cups-files.conf",
               "FileDevice Yes\n"
               "ServerRoot " + path("conf") + "\n"
               "RequestRoot " + path("spool") + "\n"
               "TempDir " + path("tmp") + "\n"
               "StateDir " + path("state") + "\n"
               "CacheDir " + path("cache") + "\n"
               "ErrorLog " + path("log/error_log") + "\n"
               "AccessLog " + path("log/access_log") + "\n"
               "PageLog " + path("log/page_log") + "\n");
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

  // A queue printing to a file in the scratch directory. `media` sets its default paper.
  void add_queue(const std::string& name, bool accepting = true, const char* media = nullptr) {
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER);
    add_printer_uri(request, name);
    const std::string device = "file://" + path("device-" + name);
    ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, device.c_str());
    ippAddBoolean(request, IPP_TAG_PRINTER, "printer-is-accepting-jobs", accepting);
    ippAddInteger(request, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
    if (media != nullptr) {
      ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "media-default", nullptr, media);
    }
    admin(request, "add " + name);
  }

  void set_default(const std::string& name) {
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_SET_DEFAULT);
    add_printer_uri(request, name);
    admin(request, "set default " + name);
  }

  struct Job {
    int id = 0;
    std::string title;
    std::string document;  // the bytes the scheduler spooled
  };
  // Every job the scheduler has seen, oldest first.
  std::vector<Job> jobs() const {
    std::vector<Job> out;
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    for (int i = 0; i < n; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "spool/d%05d-001", jobs[i].id);
      out.push_back({jobs[i].id, jobs[i].title, read_file(dir_ / name)});
    }
    cupsFreeJobs(n, jobs);
    std::sort(out.begin(), out.end(), [](const Job& a, const Job& b) { return a.id < b.id; });
    return out;
  }

 private:
  std::string path(const std::string& sub) const { return (dir_ / sub).string(); }

  static void add_printer_uri(ipp_t* request, const std::string& name) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/printers/%s", name.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  }

  static void admin(ipp_t* request, const std::string& what) {
    ippDelete(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/admin/"));
    ASSERT_LE(cupsLastError(), IPP_STATUS_OK_CONFLICTING) << what << ": " << cupsLastErrorString();
  }

  void start() {
    const char* cupsd = "/usr/sbin/cupsd";
    ASSERT_EQ(::access(cupsd, X_OK), 0) << cupsd << " is missing: run scripts/setup.sh";
    const std::string conf = path("conf/cupsd.conf"), files = path("conf/cups-files.conf");
    const std::string log = path("log/cupsd.out");
    pid_ = ::fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlives a crashed test
      const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(out, 1);
      ::dup2(out, 2);
      ::execl(cupsd, "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr);
      ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!accepting()) {
      int status = 0;
      ASSERT_EQ(::waitpid(pid_, &status, WNOHANG), 0)
          << "cupsd exited: " << read_file(log) << read_file(dir_ / "log/error_log");
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "cupsd did not start listening";
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  bool accepting() const {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, socket_.c_str(), sizeof addr.sun_path - 1);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
  }

  TempDir dir_;
  std::string socket_;
  ScopedEnv env_;
  pid_t pid_ = -1;
};

}  // namespace orvo::testing
