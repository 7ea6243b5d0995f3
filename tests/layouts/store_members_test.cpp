// The store printers' public members, called by a host without PrintInv.
#include "layouts/store_support.h"
#include "channel/port_memory.h"

namespace orvo::testing {
namespace {

using PrintMember = Variant (InvPrinter::*)(Recordset&);
using HeadingMember = void (InvPrinter::*)(std::int16_t, std::int16_t&, std::int16_t&);

class StoreMembersTest : public StoreTest {
 protected:
  // The record the last logged failure left, from its procedure line on.
  std::string last_record() const {
    const std::string all = log();
    const auto at = all.rfind("處理程序:");
    return at == std::string::npos ? "" : all.substr(at);
  }
};

TEST_F(StoreMembersTest, LayoutsReturnTrueOrLogAndReturnEmpty) {
  const std::pair<PrintMember, const char*> members[] = {
      {&InvPrinter::Print_DAYEH, "Print_DAYEH"},
      {&InvPrinter::Print_FE, "Print_FE"},
      {&InvPrinter::Print_CF, "Print_CF"}};
  for (const auto& [member, proc] : members) {
    SCOPED_TRACE(proc);
    MemoryRecordset items(store_goods());
    EXPECT_EQ((printer.*member)(items), Variant(true));
    EXPECT_TRUE(captured().ends_with("\x0c"));

    InvPrinter real_ports(host);  // no memory port: the directory does not exist
    real_ports.InvPrintPort(Variant((dir_ / "absent" / "x.prn").string()));
    const int fds = open_fd_count();
    MemoryRecordset more(store_goods());
    EXPECT_TRUE((real_ports.*member)(more).is_empty());
    EXPECT_EQ(open_fd_count(), fds);
    EXPECT_FALSE(channels().is_open(1));
    EXPECT_TRUE(last_record().starts_with("處理程序: (" + std::string(proc) +
                                          ")\r\n執行錯誤, 代碼: "))
        << last_record();
    EXPECT_NE(last_record().find("absent/x.prn"), std::string::npos) << last_record();
  }
}

TEST_F(StoreMembersTest, FeShowsItemsUntilAPrintInvPreparesTheDetailFlag) {
  const auto fe_prints_items = [&] {
    MemoryRecordset items(store_goods());
    EXPECT_EQ(printer.Print_FE(items), Variant(true));
    return from_cp950(captured()).find("蘋果汁") != std::string::npos;
  };
  EXPECT_TRUE(fe_prints_items());
  ASSERT_TRUE(print("FE", store_goods(), "N"));
  EXPECT_FALSE(fe_prints_items());
}

TEST_F(StoreMembersTest, HeadingsDrawOnTheHostsFileNumberAndLogTheirFailures) {
  const std::int16_t fno = 7;
  const auto port = std::make_shared<MemoryPortLog>();
  const struct {
    HeadingMember member;
    const char* proc;
    const char* store_no;
    const char* check_no;
    std::string machine_line;
  } cases[] = {
      {&InvPrinter::InvHead_FE, "InvPrinter_InvHead_FE", "123", "123456-89",
       "機123   序 089  員  A03\n"},
      {&InvPrinter::InvHead_FE, "InvPrinter_InvHead_FE", "", "", "機   序      員  A03\n"},
      {&InvPrinter::InvHead_CF, "InvHead_CF", "", "1234567", "機 序   7  員  A03\n"},
      {&InvPrinter::InvHead_CF, "InvHead_CF", "12", "A-0001", "機12 序      員  A03\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.machine_line);
    settings(std::string("StoreNo=") + c.store_no + "\n");
    printer.CheckNo = Variant(c.check_no);
    std::int16_t page = 1, line = 10;
    (printer.*c.member)(fno, page, line);  // mid-form: nothing to write, so no error either
    line = 1;
    (printer.*c.member)(fno, page, line);
    EXPECT_EQ(line, 1);
    EXPECT_TRUE(last_record().starts_with("處理程序: (" + std::string(c.proc) +
                                          ")\r\n執行錯誤, 代碼: 52\r\n"))
        << last_record();

    // A full form on the host's open channel; the port refuses writes from `fail_write` on.
    const auto form_change = [&](std::size_t fail_write) {
      port->fail_write = fail_write;
      channels().open(fno, "LPT1", Settings(), memory_port_opener(port));
      page = 1, line = 27;
      (printer.*c.member)(fno, page, line);
      channels().close(fno);
      EXPECT_EQ(page, 2);
    };
    form_change(0);
    EXPECT_EQ(line, 8);
    const std::string bytes = from_cp950(port->bytes());
    EXPECT_TRUE(bytes.starts_with(feed(9) + ESC + "o\x0c")) << bytes;
    EXPECT_NE(bytes.find("頁:02\n" + c.machine_line + feed(1)), std::string::npos) << bytes;
    // Failing right after the form feed: the new form is counted, its heading is not.
    form_change(4);
    EXPECT_EQ(line, 1);
  }
  EXPECT_EQ(host->boxes.size(), 8u);
}

}  // namespace
}  // namespace orvo::testing
