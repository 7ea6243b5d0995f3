#include "settings/settings.h"

#include <gtest/gtest.h>

#include <vector>

#include "shared/errors.h"
#include "support/raised.h"
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
      // Names are matched without regard to case; absent sections or keys read as "".
      {"ip", "chkNoInvCopy", "1"},
      {"IP", "CHKNOINVCOPY", "1"},
      {"ports", "lpt1", "/dev/usb/lp0"},
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

// Only the default location may be absent; a file someone named must be there and readable.
TEST(Settings, MissingFileIsEmptyUnlessNamed) {
  TempDir dir;
  for (const auto& p : {dir / "absent.ini", dir.path, std::filesystem::path()}) {
    EXPECT_EQ(Settings::load(p).ip("chkNoInvCopy"), "") << p;
  }
  const struct {
    std::filesystem::path file;
    std::int32_t number;
    std::string reason;
  } named[] = {
      {dir / "absent.ini", err::kFileNotFound, "No such file or directory"},
      {dir / "absent.ini" / "x.ini", err::kFileNotFound, "No such file or directory"},
      {dir.path, 75, "Is a directory"},
  };
  for (const auto& c : named) {
    const Error e = testing::raised([&] { Settings::load_named(c.file); });
    EXPECT_EQ(e.number(), c.number) << c.file;
    EXPECT_EQ(e.description(), "settings file " + c.file.string() + ": cannot read: " + c.reason);
  }
  ScopedEnv home("HOME", dir.path.c_str()), xdg("XDG_CONFIG_HOME", nullptr);
  ScopedEnv unset("ORVO_SETTINGS", nullptr);
  EXPECT_EQ(Settings::load().ip("chkNoInvCopy"), "") << "the default location may be absent";
  ScopedEnv named_env("ORVO_SETTINGS", (dir / "absent.ini").c_str());
  EXPECT_EQ(testing::raised([] { Settings::load(); }).number(), err::kFileNotFound);
}

// A value that cannot be used keeps the default, with one warning naming the key and the default.
TEST(Settings, UnusableValuesWarnAndKeepTheDefault) {
  TempDir dir;
  std::vector<std::string> warnings;
  set_settings_warning_sink([&](const std::string& w) { warnings.push_back(w); });
  const struct {
    const char* value;
    long long ms;  // what seconds() gives with a fallback of 10 s
    const char* count_warning;
  } cases[] = {
      {"", 10'000, nullptr},
      {" 25 ", 25'000, nullptr},
      {"0.25", 250, nullptr},
      {"86400", 86'400'000, nullptr},
      {"abc", 10'000, "\"abc\""},
      {"0", 10'000, "\"0\""},
      {"2s", 10'000, "\"2s\""},
      {"-1", 10'000, "\"-1\""},
      {"1e3", 10'000, "\"1e3\""},
      {".5", 10'000, "\".5\""},
      {"0.0001", 10'000, "\"0.0001\""},
      {"86401", 10'000, "\"86401\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    warnings.clear();
    const auto file = dir.write("s.ini", std::string("[Ports]\nWait=") + c.value + "\n");
    const Settings s = Settings::load(file);
    EXPECT_EQ(s.seconds("Ports", "Wait", std::chrono::seconds(10)).count(), c.ms);
    if (c.ms == 10'000 && *c.value) {
      ASSERT_EQ(warnings.size(), 1u);
      EXPECT_EQ(warnings[0], "warning: settings " + file.string() + ": [Ports] Wait = \"" +
                                 c.value +
                                 "\" is not a number of seconds above 0 and at most a "
                                 "day; using 10");
    } else {
      EXPECT_TRUE(warnings.empty()) << warnings[0];
    }
  }
  const std::pair<const char*, int> counts[] = {
      {"", 0}, {"8192", 8192}, {"0", 0}, {"4k", 0}, {"-1", 0}};
  for (const auto& [value, expected] : counts) {
    warnings.clear();
    const Settings s = Settings::load(dir.write("c.ini", std::string("[Ports]\nN=") + value));
    EXPECT_EQ(s.count("Ports", "N", 0), expected) << value;
    EXPECT_EQ(warnings.size(), expected == 0 && *value ? 1u : 0u) << value;
  }
  EXPECT_TRUE(warnings.empty() || warnings[0].ends_with("is not a whole number above 0; using "
                                                        "the system's default"));

  // Text that is not UTF-8 reads as unset.
  warnings.clear();
  const auto file = dir.write("u.ini", "[IP]\ntxtInvTotalDscp=ab\xB0\xA8\nStoreNo=\xE5\x8F\xB0\n");
  const Settings s = Settings::load(file);
  EXPECT_EQ(s.ip("txtInvTotalDscp"), "");
  EXPECT_EQ(s.ip("StoreNo"), "\xE5\x8F\xB0");
  EXPECT_EQ(warnings, std::vector<std::string>{"warning: settings " + file.string() +
                                               ": [IP] txtInvTotalDscp is not UTF-8 text (byte "
                                               "0xB0 at offset 2 of the value); using \"\" (as if "
                                               "unset)"});
  set_settings_warning_sink({});
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
