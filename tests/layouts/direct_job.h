#pragma once
// A print job and a byte sink on a memory port, for calling a layout's routines directly: the
// only place where their own procedure names reach a caller, since PrintInv re-raises under its
// own.
#include <memory>
#include <string>

#include "layout_kit/byte_sink.h"
#include "layout_kit/print_job.h"
#include "channel/port_memory.h"
#include "support/fake_host.h"

namespace orvo::testing {

struct DirectJob {
  // `fail_write`: the 1-based write the port refuses; 0 for none.
  explicit DirectJob(std::size_t fail_write = 0) {
    log->fail_write = fail_write;
    table.open(kFile, "LPT1", settings, memory_port_opener(log));
  }
  ~DirectJob() { table.close(kFile); }
  DirectJob(const DirectJob&) = delete;
  DirectJob& operator=(const DirectJob&) = delete;

  std::string bytes() const { return log->bytes(); }

  static constexpr std::int16_t kFile = 1;
  InvoiceRecord inv;
  Variant inv_no = Variant("AB12345678");
  PrintOptions opt;
  Settings settings;
  FakeHost host;
  MemoryRecordset items;
  Variant detail = Variant("N");
  PrintJob job{inv, inv_no, opt, settings, host, items, detail};
  std::shared_ptr<MemoryPortLog> log = std::make_shared<MemoryPortLog>();
  ChannelTable table;
  ByteSink out{table, kFile};
};

}  // namespace orvo::testing
