#include "printer_object/settings/settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>

namespace orvo {
namespace {

namespace fs = std::filesystem;

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("orvo-settings-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path write(const std::string& bytes) {
    auto p = dir_ / "settings.ini";
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }

  fs::path dir_;
};

TEST_F(SettingsFile, ReadsValuesAsWritten) {
  const std::string long_value(250, 'x');
  auto s = Settings::load(write(
      "\xEF\xBB\xBF[IP]\r\n"
      "chkNoInvCopy=1\r\n"
      "txtInvTotalDscp=消費合計\r\n"
      "txtSpaced =  a  b  \r\n"
      "txtBlank=   \r\n"
      "txtSemi=a;b\r\n"
      "txtComment=a ;b\r\n"
      "txtHash=a #b\r\n"
      "; a comment=no\r\n"
      "  txtIndented=y\r\n"
      "txtFirst=1\r\n"
      "  continued\r\n"
      "this line is broken\r\n"
      "txtLong=" + long_value + "=tail\r\n"
      "txtAfter=ok\r\n"
      "txtTwice=old\r\n"
      "txtTwice=new\r\n"
      "[Ports]\n"
      "LPT1=/dev/usb/lp0\n"
      "COM1=9600,n,8,1\n"
      "TcpTimeoutSeconds=30"));

  struct Case {
    const char* section;
    std::string key;
    std::string expected;
  } cases[] = {
      {"IP", "chkNoInvCopy", "1"},
      {"IP", "txtInvTotalDscp", "\xE6\xB6\x88\xE8\xB2\xBB\xE5\x90\x88\xE8\xA8\x88"},
      {"IP", "txtSpaced", "a  b"},
      {"IP", "txtBlank", ""},
      {"IP", "txtSemi", "a;b"},
      {"IP", "txtComment", "a"},  // " ;" starts a comment
      {"IP", "txtHash", "a #b"},
      {"IP", "; a comment", ""},
      // Indentation is no continuation: the indented key stands alone and the indented
      // text is skipped as a broken line.
      {"IP", "txtIndented", "y"},
      {"IP", "txtFirst", "1"},
      // A line too long for the parser is skipped whole; its tail never becomes a key.
      {"IP", "txtLong", ""},
      {"IP", "txtAfter", "ok"},
      {"IP", "txtTwice", "new"},
      {"Ports", "LPT1", "/dev/usb/lp0"},
      {"Ports", "COM1", "9600,n,8,1"},
      {"Ports", "TcpTimeoutSeconds", "30"},
      // Case-sensitive, and absent sections or keys read as "".
      {"ip", "chkNoInvCopy", ""},
      {"IP", "chknoinvcopy", ""},
      {"IP", "LPT1", ""},
      {"Nowhere", "LPT1", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(s.get(c.section, c.key), c.expected) << "[" << c.section << "] " << c.key;
  }
  EXPECT_EQ(s.ip("txtInvTotalDscp"), "消費合計");
  for (std::size_t n = 1; n <= long_value.size(); ++n) {
    ASSERT_EQ(s.ip(std::string(n, 'x')), "") << n;
  }
}

TEST_F(SettingsFile, MissingOrUnreadableFileIsEmpty) {
  for (const auto& p : {dir_ / "absent.ini", dir_, fs::path()}) {
    Settings s = Settings::load(p);
    EXPECT_EQ(s.get("", ""), "") << p;
    EXPECT_EQ(s.ip("chkNoInvCopy"), "") << p;
  }
}

TEST_F(SettingsFile, PathFromEnvironment) {
  struct Case {
    const char* orvo;
    const char* xdg;
    const char* home;
    fs::path expected;
  } cases[] = {
      {"/etc/orvo.ini", "/xdg", "/home/u", "/etc/orvo.ini"},
      {"", "/xdg", "/home/u", "/xdg/Orvo3/settings.ini"},
      {nullptr, "relative", "/home/u", "/home/u/.config/Orvo3/settings.ini"},
      {nullptr, nullptr, "/home/u", "/home/u/.config/Orvo3/settings.ini"},
      {nullptr, "", "", ""},
  };
  for (const auto& c : cases) {
    ScopedEnv a("ORVO_SETTINGS", c.orvo), b("XDG_CONFIG_HOME", c.xdg), h("HOME", c.home);
    EXPECT_EQ(settings_path(), c.expected);
  }

  ScopedEnv a("ORVO_SETTINGS", write("[IP]\nchkNoInvCopy=1\n").c_str());
  EXPECT_EQ(Settings::load().ip("chkNoInvCopy"), "1");
}

}  // namespace
}  // namespace orvo
