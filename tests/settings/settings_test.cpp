#include "settings/settings.h"

#include <gtest/gtest.h>

#include <vector>

#include "shared/case_file.h"
#include "shared/errors.h"
#include "support/raised.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace orvo {
namespace {

using testing::ScopedEnv;
using testing::TempDir;

TEST(Settings, ReadsValuesAsWritten) {
  const Settings s = Settings::load(std::string(ORVO_TESTS_DIR) + "/settings/data/as_written.ini");
  for (const auto& c : testing::read_cases("settings/data/as_written.tsv"))
    EXPECT_EQ(s.get(c[0], c[1]), c[2]) << "[" << c[0] << "] " << c[1];
  for (std::size_t n = 1; n <= 250; ++n) ASSERT_EQ(s.ip(std::string(n, 'x')), "") << n;
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
  for (const auto& c : testing::read_cases("settings/data/seconds.tsv")) {
    SCOPED_TRACE(c[0]);
    warnings.clear();
    const auto file = dir.write("s.ini", "[Ports]\nWait=" + c[0] + "\n");
    const Settings s = Settings::load(file);
    EXPECT_EQ(s.seconds("Ports", "Wait", std::chrono::seconds(10)).count(), std::stoll(c[1]));
    if (c[2] == "yes") {
      ASSERT_EQ(warnings.size(), 1u);
      EXPECT_EQ(warnings[0], "warning: settings " + file.string() + ": [Ports] Wait = \"" + c[0] +
                                 "\" is not a number of seconds above 0 and at most a day; "
                                 "using 10");
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
