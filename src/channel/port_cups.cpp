// A print as one raw job on a CUPS queue: registers share a printer through the spooler, and a
// job waits in the queue while the printer is off.
#include <poll.h>

#include <exception>
#include <mutex>
#include <string>

#include "channel/channel_internal.h"
#include "channel/cups_spooler.h"
#include "shared/errors.h"
#include "shared/module_loader.h"

namespace orvo {

namespace {

using channel_detail::Clock;
using State = CupsJobStatus::State;

constexpr int kPollMs = 100;

std::mutex g_spooler_mutex;
std::shared_ptr<CupsSpooler> g_spooler;

const char* state_name(State s) {
  switch (s) {
    case State::Pending: return "pending";
    case State::Held: return "held";
    case State::Processing: return "processing";
    case State::Stopped: return "stopped";
    case State::Canceled: return "canceled";
    case State::Aborted: return "aborted";
    case State::Completed: return "completed";
  }
  return "unknown";
}

std::string with_reasons(const std::string& what, const char* attribute, const std::string& reasons) {
  return reasons.empty() || reasons == "none" ? what : what + " (" + attribute + ": " + reasons + ")";
}

class CupsPort : public Port {
 public:
  CupsPort(PortTarget target, const PortOptions& options, std::shared_ptr<CupsSpooler> spooler)
      : target_(std::move(target)), wait_(options.cups_wait), spooler_(std::move(spooler)),
        title_(JobTitle::current()) {
    labelled([&] { spooler_->check(target_.queue); });
  }

  // The job is sent whole when the print ends: a roll-change prompt may hold the print longer
  // than the scheduler keeps a job open for its document.
  void write(std::string_view bytes) override {
    if (closed_) raise_port(err::kBadFileNumber, "is closed");
    bytes_.append(bytes);
  }

  void close() override {
    if (closed_) return;
    closed_ = true;
    // Closed on a failure's path: the printer gets nothing of a print that failed.
    if (std::current_exception()) return;
    job_ = labelled([&] { return spooler_->submit(target_.queue, title_, bytes_); });
    delivered_ = bytes_.size();
    if (wait_.count() > 0) wait_until_done();
  }

  std::uint64_t delivered() const override { return delivered_; }

 private:
  [[noreturn]] void raise_port(std::int32_t number, const std::string& what) const {
    channel_detail::raise_port(number, target_, what);
  }

  // What the spooler raises, naming this port.
  template <typename F>
  auto labelled(F&& call) const -> decltype(call()) {
    try {
      return call();
    } catch (const Error& e) {
      raise_port(e.number(), e.description());
    }
  }

  // Until the job is completed, else cancels it and raises, so that the host's retry is the only
  // copy that prints.
  void wait_until_done() {
    const auto deadline = Clock::now() + wait_;
    const std::string job = "job " + std::to_string(job_) + " \"" + title_ + "\"";
    for (;;) {
      const CupsJobStatus s = labelled([&] { return spooler_->status(target_.queue, job_); });
      if (s.state == State::Completed) return;
      std::string why;
      if (s.state == State::Stopped || s.state == State::Canceled || s.state == State::Aborted) {
        why = with_reasons(job + " was " + state_name(s.state), "job-state-reasons", s.reasons);
      } else if (s.queue_stopped) {
        why = with_reasons(job + " is " + state_name(s.state) + " on a stopped queue",
                           "printer-state-reasons", s.queue_reasons);
      } else if (print_interrupt() != 0) {
        why = job + " was cancelled: the print was asked to stop";
      } else if (Clock::now() >= deadline) {
        why = with_reasons(job + " is still " + std::string(state_name(s.state)) + " after " +
                               channel_detail::seconds_text(wait_),
                           "job-state-reasons", s.reasons);
      }
      if (!why.empty()) {
        if (s.state != State::Canceled && s.state != State::Aborted) {
          spooler_->cancel(target_.queue, job_);
        }
        delivered_ = 0;
        raise_port(print_interrupt() != 0 ? channel_err::kInterrupted : err::kDeviceIo, why);
      }
      ::poll(nullptr, 0, kPollMs);  // a signal ends the nap early
    }
  }

  const PortTarget target_;
  const std::chrono::milliseconds wait_;
  const std::shared_ptr<CupsSpooler> spooler_;
  const std::string title_;
  std::string bytes_;
  bool closed_ = false;
  int job_ = 0;
  std::uint64_t delivered_ = 0;
};

}  // namespace

std::shared_ptr<CupsSpooler> cups_spooler() {
  const std::lock_guard lock(g_spooler_mutex);
  if (!g_spooler) {
    const auto make = reinterpret_cast<decltype(&orvo_cups_spooler_v1)>(
        module_symbol("orvo-cups.so", "orvo_cups_spooler_v1"));
    g_spooler.reset(make());
  }
  return g_spooler;
}

void set_cups_spooler(std::shared_ptr<CupsSpooler> spooler) {
  const std::lock_guard lock(g_spooler_mutex);
  g_spooler = std::move(spooler);
}

std::unique_ptr<Port> open_cups_port(const PortTarget& target, const PortOptions& options) {
  std::shared_ptr<CupsSpooler> spooler;
  try {
    spooler = cups_spooler();
  } catch (const Error& e) {
    channel_detail::raise_port(e.number(), target, e.description());
  }
  return std::make_unique<CupsPort>(target, options, std::move(spooler));
}

}  // namespace orvo
