#pragma once
// An InvPrinter wired to a fake host, a temporary settings file and a capture file.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

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
    printer.InvPrintPort(Variant(capture_.string()));
  }

  // Writes the [IP] section of the settings store.
  void settings(const std::string& ip_lines) {
    std::ofstream(dir_ / "settings.ini") << "[IP]\n" << ip_lines;
    printer.set_settings_file(dir_ / "settings.ini");
  }

  std::string captured() const { return read_file(capture_); }

  TempDir temp_;
  const std::filesystem::path& dir_ = temp_.path;
  const std::filesystem::path capture_ = dir_ / "capture.prn";
  ScopedEnv error_log_{"ORVO_ERROR_LOG", (dir_ / "error.log").c_str()};
  std::shared_ptr<FakeHost> host = std::make_shared<FakeHost>();
  InvPrinter printer{host};
};

// Control bytes spelled out, so expectations read like the printer stream.
inline const std::string ESC = "\x1b";
inline std::string feed(int n) { return ESC + "d" + static_cast<char>(n); }

}  // namespace orvo::testing
