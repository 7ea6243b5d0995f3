#include "channel/port_memory.h"

#include <utility>

#include "shared/errors.h"

namespace orvo {

namespace {

class MemoryPort : public Port {
 public:
  MemoryPort(std::string name, std::shared_ptr<MemoryPortLog> log)
      : name_(std::move(name)), log_(std::move(log)) {}

  void write(std::string_view bytes) override {
    if (!log_->open) fail("write to a closed port");
    if (log_->write_count + 1 == log_->fail_write) {
      fail("write " + std::to_string(log_->fail_write) + " refused");
    }
    if (log_->keep) log_->writes.emplace_back(bytes);
    ++log_->write_count;
    log_->byte_count += bytes.size();
    delivered_ += bytes.size();
  }

  std::uint64_t delivered() const override { return delivered_; }

  void close() override {
    if (!log_->open) return;
    log_->open = false;
    ++log_->closes;
    if (log_->fail_close) fail("close refused");
  }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    raise(err::kDeviceIo, "Device I/O error: " + name_ + " (memory port): " + what);
  }

  std::string name_;
  std::shared_ptr<MemoryPortLog> log_;
  std::uint64_t delivered_ = 0;
};

}  // namespace

std::string MemoryPortLog::bytes() const {
  std::string all;
  for (const auto& w : writes) all += w;
  return all;
}

PortOpener memory_port_opener(std::shared_ptr<MemoryPortLog> log) {
  return [log](const std::string& name, const Settings&) -> std::unique_ptr<Port> {
    if (log->fail_open)
      raise(err::kDeviceIo, "Device I/O error: " + name + " (memory port): open refused");
    log->writes.clear();
    log->write_count = 0;
    log->byte_count = 0;
    log->open = true;
    ++log->opens;
    return std::make_unique<MemoryPort>(name, log);
  };
}

}  // namespace orvo
