#include <gtest/gtest.h>

#include "channel/channel_test_support.h"
#include "printer_object/channel/channel.h"
#include "shared/errors.h"

namespace orvo {
namespace {

using testing::TempDir;

std::int32_t error_number(const std::function<void()>& f, std::string* description = nullptr) {
  try {
    f();
  } catch (const Error& e) {
    if (description) *description = e.description();
    return e.number();
  }
  return 0;
}

TEST(ChannelTable, FileNumbersAreHandedOutLowestFirst) {
  ChannelTable t;
  Settings none;
  EXPECT_EQ(t.FreeFile(), 1);
  t.open(1, "/dev/null", none);
  t.open(3, "/dev/null", none);
  EXPECT_EQ(t.FreeFile(), 2);
  t.open(2, "/dev/null", none);
  EXPECT_EQ(t.FreeFile(), 4);
  t.close(2);
  EXPECT_EQ(t.FreeFile(), 2);
  EXPECT_TRUE(t.is_open(1));
  EXPECT_FALSE(t.is_open(2));
}

TEST(ChannelTable, AllNumbersTakenIsTooManyFiles) {
  ChannelTable t;
  for (std::int16_t fno = 1; fno <= 255; ++fno) t.open(fno, "/dev/null", {});
  EXPECT_EQ(error_number([&] { t.FreeFile(); }), channel_err::kTooManyFiles);
  t.close(200);
  EXPECT_EQ(t.FreeFile(), 200);
  for (std::int16_t fno = 1; fno <= 255; ++fno) t.close(fno);
}

TEST(ChannelTable, NumbersInUseUnknownOrOutOfRangeAreRefused) {
  TempDir dir;
  ChannelTable t;
  auto first = dir / "first.prn";
  t.open(1, first.string(), {});
  std::string why;

  EXPECT_EQ(error_number([&] { t.open(1, (dir / "second.prn").string(), {}); }, &why),
            channel_err::kFileAlreadyOpen);
  EXPECT_NE(why.find("#1"), std::string::npos) << why;
  EXPECT_FALSE(std::filesystem::exists(dir / "second.prn"));
  t.write(1, "still mine");

  EXPECT_EQ(error_number([&] { t.write(7, "x"); }, &why), err::kBadFileNumber);
  EXPECT_EQ(why, "Bad file name or number: #7 is not open");
  EXPECT_EQ(error_number([&] { t.open(0, "/dev/null", {}); }), err::kBadFileNumber);
  EXPECT_EQ(error_number([&] { t.open(256, "/dev/null", {}); }), err::kBadFileNumber);

  t.close(7);
  t.close(1);
  t.close(1);
  EXPECT_EQ(testing::read_file(first), "still mine");
  EXPECT_EQ(error_number([&] { t.write(1, "x"); }), err::kBadFileNumber);
}

TEST(ChannelTable, FailedOpenLeavesTheNumberFree) {
  TempDir dir;
  ChannelTable t;
  int before = testing::open_fd_count();
  EXPECT_EQ(error_number([&] { t.open(1, (dir / "missing" / "x.prn").string(), {}); }),
            err::kPathNotFound);
  EXPECT_FALSE(t.is_open(1));
  EXPECT_EQ(t.FreeFile(), 1);
  EXPECT_EQ(testing::open_fd_count(), before);
}

TEST(ChannelTable, ProcessTableIsOneInstance) { EXPECT_EQ(&channels(), &channels()); }

}  // namespace
}  // namespace orvo
