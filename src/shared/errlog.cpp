#include "shared/errlog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <utility>

#include "shared/cp950.h"
#include "shared/unique_fd.h"
#include "shared/user_paths.h"

namespace orvo {

namespace {

// Appends `bytes` as one record. Everything goes to a single write() on an O_APPEND descriptor,
// so records from processes logging at the same time never interleave; the loop only matters
// after a short write (disk nearly full, signal), where nothing better can be done.
void append_record(const std::filesystem::path& path, const std::string& bytes) {
  if (path.empty()) return;
  if (auto dir = path.parent_path(); !dir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) return;
  }
  int raw;
  do {
    raw = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  } while (raw < 0 && errno == EINTR);
  if (raw < 0) return;
  const UniqueFd fd(raw);
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd.get(), p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
}

thread_local ErrLogCapture* g_capture = nullptr;

}  // namespace

ErrLogCapture::ErrLogCapture() : outer_(std::exchange(g_capture, this)) {}
ErrLogCapture::~ErrLogCapture() { g_capture = outer_; }

std::filesystem::path error_log_path() {
  return user_file("ORVO_ERROR_LOG", "XDG_STATE_HOME", ".local/state", "error.log");
}

std::string error_message(const std::string& proc_name, const Error& e) {
  return "處理程序: (" + proc_name + ")\r\n" +
         "執行錯誤, 代碼: " + std::to_string(e.number()) + "\r\n" +
         "訊息: \r\n" +
         "     " + e.description() + "\r\n\r\n";
}

void append_error_log(Host& host, const std::string& proc_name, const Error& e) {
  // The log is a courtesy: the operator still hears of the error when it cannot be written.
  try {
    append_record(error_log_path(),
                  to_cp950(format_date(host.now(), "**記錄時間 - YY/MM/DD, HH:MM:SS ") + "\r\n" +
                           error_message(proc_name, e)));
  } catch (...) {
  }
}

void ErrLog(Host& host, const std::string& proc_name, const Error& e) {
  if (g_capture != nullptr) {
    g_capture->last_ = reraised(proc_name, e);
    return;
  }
  host.beep();
  append_error_log(host, proc_name, e);
  host.message_box(error_message(proc_name, e), BoxIcon::Exclamation);
  host.set_busy(false);
}

}  // namespace orvo
