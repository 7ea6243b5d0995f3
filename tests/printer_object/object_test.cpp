#include <fcntl.h>

#include "support/printer_fixture.h"
#include "support/raised.h"

namespace orvo::testing {
namespace {

using ObjectTest = PrinterTest;

TEST_F(ObjectTest, TestPrintWritesTheFixedInvoice) {
  printer.TestPrint();
  const std::string expected =
      to_cp950(kRollStart + feed(4) + "機POSID6 序123456  收123\n" + "發票號碼:AB12345678\n" +
               feed(1) + "餐費小計:  12,500元 \n" + "服務費  :   1,250元 \n" +
               "       合計:   13,750元 \n" + "99/03/05 14:30:05\n" + feed(11) + kRollEnd);
  EXPECT_EQ(captured(), expected);
  EXPECT_EQ(host->sleeps, std::vector<long>{500});
  EXPECT_EQ(host->events, 2);  // before opening the port, and after the pause
  EXPECT_EQ(host->busy_calls, (std::vector<bool>{true, false}));
  EXPECT_EQ(Str(printer.InvPrintType()), "RP420");
}

TEST_F(ObjectTest, TestPrintIgnoresPageTypesAndDatesInTheRocCalendar) {
  printer.InvPrintType(Variant("WIN3PA4"));
  host->clock = date_from_civil({2024, 3, 5, 9, 5, 7});
  printer.TestPrint();
  const std::string out = from_cp950(captured());
  EXPECT_NE(out.find("113/03/05 09:05:07\n"), std::string::npos);
  EXPECT_EQ(out.substr(0, 2), "\x1b@");
  EXPECT_EQ(Str(printer.InvPrintType()), "WIN3PA4");
}

TEST_F(ObjectTest, TypeCheckRefusesAndKeepsThePreviousValue) {
  EXPECT_TRUE(printer.InvPrintType().is_empty());
  printer.InvPrintType(Variant("SP320"));
  for (const char* bad : {"rp420", "SP320D", "", " RP420"}) {
    const Error e = raised([&] { printer.InvPrintType(Variant(bad)); });
    EXPECT_EQ(e.number(), kObjectError) << bad;
    EXPECT_EQ(e.source(), "InvPrintPort:");
    EXPECT_EQ(e.description(), std::string("不支援此發票機種類:") + bad);
  }
  EXPECT_EQ(Str(printer.InvPrintType()), "SP320");
}

TEST_F(ObjectTest, UnsetPortIsRefusedBeforeAnythingIsOpened) {
  for (const Variant& port : {Variant(), Variant::null()}) {
    InvPrinter p(host);
    p.InvPrintPort(port);
    MemoryRecordset rows;
    const Error t = raised([&] { p.TestPrint(); });
    EXPECT_EQ(t.source(), "TestPrint");
    EXPECT_EQ(t.description(), "請先設定連接埠:InvPrintPort");
    const Error e = raised([&] { p.PrintInv(Variant("Y"), rows); });
    EXPECT_EQ(e.number(), kObjectError);
    EXPECT_EQ(e.source(), "PrintInv");
    EXPECT_EQ(e.description(), "請先設定連接埠:InvPrintPort");
  }
  EXPECT_TRUE(host->busy_calls.empty());
}

TEST_F(ObjectTest, PortFailuresAreRaisedWithTheProcedureAsSourceAndNoFdLeft) {
  const int before = open_fd_count();
  printer.set_port_opener({});  // the real ports
  for (const char* port : {"/dev/full", "/nonexistent-dir/x.prn"}) {
    printer.InvPrintPort(Variant(port));
    const Error e = raised([&] { printer.TestPrint(); });
    EXPECT_EQ(e.number(), kObjectError) << port;
    EXPECT_EQ(e.source(), "TestPrint");
    EXPECT_NE(e.description().find(port), std::string::npos) << e.description();
    MemoryRecordset rows;
    const Error p = raised([&] { printer.PrintInv(Variant("Y"), rows); });
    EXPECT_EQ(p.source(), "PrintInv");
    EXPECT_NE(p.description().find(port), std::string::npos) << p.description();
  }
  EXPECT_EQ(open_fd_count(), before);
  EXPECT_FALSE(host->busy);
}

TEST_F(ObjectTest, CompatibilityMethodsPrintNothing) {
  Variant items;
  EXPECT_FALSE(printer.PrintT2(Variant(1), Variant("x"), Variant::null(), items));
  printer.SetPrinter();
  ASSERT_EQ(host->boxes.size(), 1u);
  EXPECT_EQ(host->boxes[0].text, "本功能暫時不支援");
  EXPECT_EQ(host->boxes[0].icon, BoxIcon::Information);
  EXPECT_FALSE(port_opened());
}

TEST_F(ObjectTest, FieldsByName) {
  *printer.field("TblName") = Variant("A1");
  EXPECT_EQ(Str(printer.TblName), "A1");
  EXPECT_EQ(printer.field("tblname"), nullptr);
  EXPECT_EQ(printer.field("InvNo"), nullptr);  // a property, not a field
}

}  // namespace
}  // namespace orvo::testing
