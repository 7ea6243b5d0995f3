// Heading routines called directly: the form change they make and the name they raise under.
#include "direct_job.h"
#include "layouts/roll/dayeh.h"
#include "layouts/roll/ktv420.h"
#include "layouts/store_support.h"
#include "support/raised.h"

namespace orvo::testing {
namespace {

TEST(InvHeadKTV, EndsAFullFormWithoutANewNumberOrPrompt) {
  DirectJob d;
  d.inv_no = Variant("AB12345249");
  d.inv.UserID = Variant("U1"), d.inv.POSID = Variant(1), d.inv.TblName = Variant("V12");
  std::int16_t page = 1, line = 24;
  InvHeadKTV(d.job, d.out, page, line);
  EXPECT_EQ(d.bytes(), "");
  EXPECT_EQ(line, 24);

  line = 25;
  InvHeadKTV(d.job, d.out, page, line);
  EXPECT_EQ(d.bytes(), to_cp950(feed(11) + kRollEnd + feed(1) + feed(1) + feed(1) + feed(1) +
                                "日期:2010-03-05  14:30\n收銀員:    U1\n檢碼(5249) 機   1  \n"
                                "包廂代號:V12\n" +
                                feed(1)));
  EXPECT_EQ(page, 2);
  EXPECT_EQ(line, 10);
  EXPECT_TRUE(d.host.prompts.empty());
}

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
