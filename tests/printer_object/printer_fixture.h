#pragma once
// An InvPrinter wired to a fake host, a temporary settings file and a capture file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "printer_object/invoice_printer.h"
#include "shared/cp950.h"
#include "support/fake_host.h"

namespace orvo::testing {

class PrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("orvo-printer-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    capture_ = dir_ / "capture.prn";
    ::setenv("ORVO_ERROR_LOG", (dir_ / "error.log").c_str(), 1);
    settings("");
    printer.InvPrintPort(Variant(capture_.string()));
  }
  void TearDown() override {
    ::unsetenv("ORVO_ERROR_LOG");
    std::filesystem::remove_all(dir_);
  }

  // Writes the [IP] section of the settings store.
  void settings(const std::string& ip_lines) {
    std::ofstream(dir_ / "settings.ini") << "[IP]\n" << ip_lines;
    printer.set_settings_file(dir_ / "settings.ini");
  }

  std::string captured() const {
    std::ifstream in(capture_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  std::shared_ptr<FakeHost> host = std::make_shared<FakeHost>();
  InvPrinter printer{host};
  std::filesystem::path dir_, capture_;
};

// Control bytes spelled out, so expectations read like the printer stream.
inline const std::string ESC = "\x1b";
inline std::string feed(int n) { return ESC + "d" + static_cast<char>(n); }

}  // namespace orvo::testing
