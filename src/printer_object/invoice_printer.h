#pragma once
// InvPrinter: "a printer object to control various type of invoice printer". A host fills the
// invoice record, picks the printer type and port, and calls PrintInv with the item rows.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "layout_kit/byte_sink.h"
#include "layout_kit/invoice_record.h"
#include "layout_kit/print_job.h"
#include "channel/channel.h"
#include "recordset/recordset.h"
#include "settings/settings.h"
#include "shared/errors.h"
#include "shared/host.h"
#include "shared/variant.h"

namespace orvo {

namespace page {
class PageHostWindow;
}  // namespace page

struct Route;

class InvPrinter : public InvoiceRecord {
 public:
  // Without a host the object talks to the terminal.
  explicit InvPrinter(std::shared_ptr<Host> host = nullptr);

  // Properties. Setting a type outside the accepted list raises 0x80040000 from "InvPrintPort:".
  const Variant& InvPrintType() const { return mvInvPrintType; }
  void InvPrintType(const Variant& v);
  const Variant& InvPrintPort() const { return mvInvPrintPort; }
  void InvPrintPort(const Variant& v) { mvInvPrintPort = v; }
  const Variant& InvType() const { return mvInvType; }
  void InvType(const Variant& v) { mvInvType = v; }
  const Variant& InvNo() const { return mvInvNo; }
  void InvNo(const Variant& v) { mvInvNo = v; }

  static bool accepted_type(std::string_view code);

  // Methods.
  void SetPrinter();
  bool PrintInv(const Variant& pvDetail, Recordset& pRST);
  bool PrintT2(const Variant& pvInvNextNo, const Variant& pvInvRNo, const Variant& pvCasherID,
               Variant& prstItem);
  void TestPrint();

  // The store printers' layouts and headings, which a host may also call directly. A layout
  // reports a failure through the error log and returns Empty, else True; a heading draws on
  // the host's open file number and logs its own failures.
  Variant Print_DAYEH(Recordset& pRST);
  void InvHead_FE(std::int16_t piFNo, std::int16_t& piPage, std::int16_t& piLine);
  Variant Print_FE(Recordset& pRST);
  void InvHead_CF(std::int16_t piFNo, std::int16_t& piPage, std::int16_t& piLine);
  Variant Print_CF(Recordset& pRST);

  // Checking a sale before paper is spent. Lays the sale out exactly as PrintInv would and
  // returns the bytes the printer would receive, or raises what PrintInv would raise; a store
  // layout that would return False raises the error it would log. What the print only logs and
  // goes on from (a date that is no date) is no failure. Works on a copy: no port is opened,
  // nothing is prompted, paused, shown or logged, and this object's fields stay as they were.
  // The rows are read as PrintInv reads them, so PrintInv needs them positioned afresh. A page
  // printer type has no bytes to give: it raises, naming the type.
  std::string lay_out(const Variant& pvDetail, Recordset& pRST) const;
  // The same check, keeping nothing of the bytes: memory stays flat however long the sale.
  // Returns how many bytes the printer would receive.
  std::uint64_t check(const Variant& pvDetail, Recordset& pRST) const;

  // Where the settings store lives; unset means settings_path() at each print. A file named here
  // (or by ORVO_SETTINGS) must exist: a print raises when it cannot be read.
  void set_settings_file(std::optional<std::filesystem::path> file) {
    settings_file_ = std::move(file);
  }
  // How ports are opened; unset means the real ports (open_port).
  void set_port_opener(PortOpener opener) { port_opener_ = std::move(opener); }
  Host& host() { return *host_; }
  // Where page types send their sheets instead of a CUPS queue: a .pdf file, or .png for a
  // picture of each page. Unset means $ORVO_PAGE_OUTPUT when that is set, else the queue.
  void set_page_output(std::optional<std::filesystem::path> file) {
    page_output_ = std::move(file);
  }
  // The window whose page printer page types draw on; unset means the process's shared one.
  void set_page_window(std::shared_ptr<page::PageHostWindow> window) {
    page_window_ = std::move(window);
  }

  // The option members as the last PrintInv prepared them.
  const PrintOptions& options() const { return opt_; }

 private:
  // Refuses an unset port with `proc` as source; an unset type becomes "RP420".
  void start_print(const char* proc);
  Settings read_settings() const;
  void prepare_options(const Settings& settings, const Variant& pvDetail);
  bool run_route(const Route& route, PrintJob& job);
  Variant print_directly(std::string_view type, Recordset& pRST);
  using Heading = void (*)(PrintJob&, ByteSink&, std::int16_t&, std::int16_t&);
  void heading_directly(Heading heading, std::int16_t piFNo, std::int16_t& piPage,
                        std::int16_t& piLine);
  page::PageHostWindow& page_window();
  void dry_run(const Variant& pvDetail, Recordset& pRST, PortOpener opener) const;
  std::filesystem::path page_output() const;

  std::shared_ptr<Host> host_;
  std::optional<std::filesystem::path> settings_file_;
  PortOpener port_opener_;
  std::optional<std::filesystem::path> page_output_;
  std::shared_ptr<page::PageHostWindow> page_window_;

  Variant mvInvPrintType, mvInvPrintPort, mvInvType, mvInvNo;
  PrintOptions opt_;
  bool options_prepared_ = false;  // mvDetail and the flags are Empty until a PrintInv
};

}  // namespace orvo
