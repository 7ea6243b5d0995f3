#pragma once
// The error log: tells the operator and appends a record, for procedures that do not pass their
// errors on.
#include <filesystem>
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

// While one exists on this thread, ErrLog raises the error (0x80040000 from the procedure)
// instead of telling the operator and logging: a check run must hear of every failure the real
// run would report, and must log none of them.
class ErrLogRaises {
 public:
  ErrLogRaises();
  ~ErrLogRaises();
  ErrLogRaises(const ErrLogRaises&) = delete;
  ErrLogRaises& operator=(const ErrLogRaises&) = delete;
};

}  // namespace orvo
