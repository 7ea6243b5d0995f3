#pragma once
// The error log: tells the operator and appends a record, for procedures that do not pass their
// errors on.
#include <filesystem>
#include <optional>
#include <string>

#include "shared/errors.h"
#include "shared/host.h"

namespace orvo {

// ORVO_ERROR_LOG if set, else ${XDG_STATE_HOME:-$HOME/.local/state}/Orvo3/error.log.
std::filesystem::path error_log_path();

// The message shown and logged, lines ended by CR LF.
std::string error_message(const std::string& proc_name, const Error& e);

// Beeps, appends the record (one write, O_APPEND; failures ignored), shows the warning box and
// restores the pointer.
void ErrLog(Host& host, const std::string& proc_name, const Error& e);

// Appends the record only, for a caller that tells the operator itself.
void append_error_log(Host& host, const std::string& proc_name, const Error& e);

// While one exists on this thread, ErrLog neither tells the operator nor logs: it keeps the
// record (0x80040000 from the procedure) and the procedure goes on as it would after logging. A
// check run must behave as the real run does, and log nothing.
class ErrLogCapture {
 public:
  ErrLogCapture();
  ~ErrLogCapture();
  ErrLogCapture(const ErrLogCapture&) = delete;
  ErrLogCapture& operator=(const ErrLogCapture&) = delete;

  // The last record ErrLog was given while this one was the innermost.
  const std::optional<Error>& last() const { return last_; }

 private:
  friend void ErrLog(Host&, const std::string&, const Error&);
  ErrLogCapture* outer_;
  std::optional<Error> last_;
};

}  // namespace orvo
