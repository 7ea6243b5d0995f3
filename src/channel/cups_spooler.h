#pragma once
// What a cups: port needs of CUPS. libcups and what it pulls in are the module orvo-cups.so,
// loaded by the first such print, so that other prints start without them.
#include <memory>
#include <string>
#include <string_view>

namespace orvo {

struct CupsJobStatus {
  enum class State { Pending, Held, Processing, Stopped, Canceled, Aborted, Completed };
  State state = State::Pending;
  std::string reasons;        // job-state-reasons, comma-separated
  bool queue_stopped = false;
  std::string queue_reasons;  // printer-state-reasons of the queue
};

class CupsSpooler {
 public:
  virtual ~CupsSpooler() = default;
  // Raises kDeviceUnavailable when there is no such queue or it accepts no jobs.
  virtual void check(const std::string& queue) = 0;
  // One raw job of `bytes`; its id once the scheduler accepted it, else raises.
  virtual int submit(const std::string& queue, const std::string& title,
                     std::string_view bytes) = 0;
  virtual CupsJobStatus status(const std::string& queue, int job) = 0;
  // Best effort: the job may be gone already.
  virtual void cancel(const std::string& queue, int job) = 0;
};

// The module's spooler; raises kFileNotFound when orvo-cups.so cannot be loaded. Tests may hand
// in their own.
std::shared_ptr<CupsSpooler> cups_spooler();
void set_cups_spooler(std::shared_ptr<CupsSpooler> spooler);

}  // namespace orvo

// The module's one entry, in the build's own ABI.
extern "C" orvo::CupsSpooler* orvo_cups_spooler_v1();
