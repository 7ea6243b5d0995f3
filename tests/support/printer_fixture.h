#pragma once
// An InvPrinter wired to a fake host, a temporary settings file and a memory port on "LPT1".
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "channel/port_memory.h"
#include "printer_object/invoice_printer.h"
#include "shared/cp950.h"
#include "support/fake_host.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace orvo::testing {

class PrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings("");
    wire(printer);
  }

  // Writes the [IP] section of the settings store.
  void settings(const std::string& ip_lines) {
    std::ofstream(dir_ / "settings.ini") << "[IP]\n" << ip_lines;
  }

  // Points `p` at this test's settings file and memory port.
  void wire(InvPrinter& p) {
    p.set_settings_file(dir_ / "settings.ini");
    p.set_port_opener(memory_port_opener(port_));
    p.InvPrintPort(Variant("LPT1"));
  }

  // What the last print sent to the port.
  std::string captured() const { return port_->bytes(); }
  bool port_opened() const { return port_->opens > 0; }

  TempDir temp_;
  const std::filesystem::path& dir_ = temp_.path;
  ScopedEnv error_log_{"ORVO_ERROR_LOG", (dir_ / "error.log").c_str()};
  std::shared_ptr<FakeHost> host = std::make_shared<FakeHost>();
  InvPrinter printer{host};

 private:
  std::shared_ptr<MemoryPortLog> port_ = std::make_shared<MemoryPortLog>();
};

// Control bytes spelled out, so expectations read like the printer stream.
inline const std::string ESC = "\x1b";
inline std::string feed(int n) { return ESC + "d" + static_cast<char>(n); }

// The standard roll: what starts a print and what ends each form.
inline const std::string kRollStart = ESC + "@" + ESC + "z\x01";
inline const std::string kRollEnd = ESC + "o\x0c";

}  // namespace orvo::testing
