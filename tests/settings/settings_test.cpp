#include "printer_object/settings/settings.h"

#include <gtest/gtest.h>

#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace orvo {
namespace {

using testing::ScopedEnv;
using testing::TempDir;

TEST(Settings, ReadsValuesAsWritten) {
  TempDir dir;
  const std::string long_value(250, 'x');
  const std::string head =
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
      "txtLong=";
  const std::string tail =
      "=tail\r\n"
      "txtAfter=ok\r\n"
      "txtTwice=old\r\n"
      "txtTwice=new\r\n"
      "[Ports]\n"
      "LPT1=/dev/usb/lp0\n"
      "TcpTimeoutSeconds=30";
  const Settings s = Settings::load(dir.write("settings.ini", head + long_value + tail));
  const struct {
    const char* section;
    std::string key, expected;
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
  for (std::size_t n = 1; n <= long_value.size(); ++n) {
    ASSERT_EQ(s.ip(std::string(n, 'x')), "") << n;
  }
}

TEST(Settings, MissingOrUnreadableFileIsEmpty) {
  TempDir dir;
  for (const auto& p : {dir / "absent.ini", dir.path, std::filesystem::path()}) {
    EXPECT_EQ(Settings::load(p).ip("chkNoInvCopy"), "") << p;
  }
}

// The fallback rules are shared with the error log and tested there; these are the names.
TEST(Settings, PathFromEnvironment) {
  const struct {
    const char *orvo, *xdg;
    std::filesystem::path expected;
  } cases[] = {
      {"/etc/orvo.ini", "/xdg", "/etc/orvo.ini"},
      {nullptr, "/xdg", "/xdg/Orvo3/settings.ini"},
      {nullptr, nullptr, "/home/u/.config/Orvo3/settings.ini"},
  };
  ScopedEnv home("HOME", "/home/u");
  for (const auto& c : cases) {
    ScopedEnv a("ORVO_SETTINGS", c.orvo), b("XDG_CONFIG_HOME", c.xdg);
    EXPECT_EQ(settings_path(), c.expected);
  }

  TempDir dir;
  ScopedEnv a("ORVO_SETTINGS", dir.write("s.ini", "[IP]\nchkNoInvCopy=1\n").c_str());
  EXPECT_EQ(Settings::load().ip("chkNoInvCopy"), "1");
}

}  // namespace
}  // namespace orvo
