// A heading routine called directly raises under its own name.
#include "direct_job.h"
#include "layouts/roll/dayeh.h"
#include "layouts/store_support.h"
#include "support/raised.h"

namespace orvo::testing {
namespace {

TEST_F(StoreTest, DayehHeadingRaisesUnderItsOwnName) {
  std::int16_t page = 1, line = 1;
  MemoryRecordset none;
  const Variant detail;
  PrintOptions opt;
  const Settings settings;
  PrintJob job{printer, printer.InvNo(), opt, settings, *host, none, detail};
  ByteSink closed(channels(), 250);
  const Error e = raised([&] { InvHead_DAYEH(job, closed, page, line); });
  EXPECT_EQ(e.number(), kObjectError);
  EXPECT_EQ(e.source(), "InvHead_DAYEH");
  EXPECT_NE(e.description().find("#250"), std::string::npos) << e.description();
}

}  // namespace
}  // namespace orvo::testing
