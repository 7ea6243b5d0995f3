#include "printer_object/invoice_printer.h"

#include <cstdlib>
#include <utility>

#include "layouts/roll/store_roll.h"
#include "page_printer_host/host_window.h"
#include "printer_object/print_dispatch.h"

namespace orvo {

InvPrinter::InvPrinter(std::shared_ptr<Host> host) : host_(std::move(host)) {
  if (!host_) host_ = make_terminal_host();
}

bool InvPrinter::accepted_type(std::string_view code) { return is_accepted_type(code); }

void InvPrinter::InvPrintType(const Variant& v) {
  if (v.is_null() || !accepted_type(Str(v)))
    throw Error(kObjectError, "InvPrintPort:", "不支援此發票機種類:" + Str(v));
  mvInvPrintType = v;
}

void InvPrinter::SetPrinter() { host_->message_box("本功能暫時不支援", BoxIcon::Information); }

bool InvPrinter::PrintT2(const Variant&, const Variant&, const Variant&, Variant&) { return false; }

void InvPrinter::start_print(const char* proc) {
  if (mvInvPrintPort.is_empty() || mvInvPrintPort.is_null())
    throw Error(kObjectError, proc, "請先設定連接埠:InvPrintPort");
  if (mvInvPrintType.is_empty()) mvInvPrintType = Variant("RP420");
}

page::PageHostWindow& InvPrinter::page_window() {
  return page_window_ ? *page_window_ : page::PageHostWindow::shared();
}

std::filesystem::path InvPrinter::page_output() const {
  if (page_output_) return *page_output_;
  const char* env = std::getenv("ORVO_PAGE_OUTPUT");
  return env != nullptr ? env : "";
}

Settings InvPrinter::read_settings() const {
  return settings_file_ ? Settings::load_named(*settings_file_) : Settings::load();
}

Variant InvPrinter::print_directly(std::string_view type, Recordset& pRST) {
  const Route& route = route_for(type, false);
  const Settings settings = read_settings();
  // mvDetail is Empty until a PrintInv sets it, and only "N" hides the FE's item lines.
  PrintOptions opt = opt_;
  if (!options_prepared_) opt.detail = true;
  const Variant no_detail;
  PrintJob job{*this, mvInvNo, opt, settings, *host_, pRST, no_detail};
  const PortRequest port{channels(), Str(mvInvPrintPort), port_opener_};
  return run_roll_layout(route.proc, OnFailure::ErrorLog, route.roll, job, port) ? Variant(true)
                                                                                 : Variant();
}

Variant InvPrinter::Print_DAYEH(Recordset& pRST) { return print_directly("DAYEH", pRST); }
Variant InvPrinter::Print_FE(Recordset& pRST) { return print_directly("FE", pRST); }
Variant InvPrinter::Print_CF(Recordset& pRST) { return print_directly("CF", pRST); }

void InvPrinter::heading_directly(Heading heading, std::int16_t piFNo, std::int16_t& piPage,
                                  std::int16_t& piLine) {
  const Settings settings = read_settings();
  MemoryRecordset no_items;
  const Variant no_detail;
  PrintJob job{*this, mvInvNo, opt_, settings, *host_, no_items, no_detail};
  ByteSink out(channels(), piFNo);
  heading(job, out, piPage, piLine);
}

void InvPrinter::InvHead_FE(std::int16_t piFNo, std::int16_t& piPage, std::int16_t& piLine) {
  heading_directly(orvo::InvHead_FE, piFNo, piPage, piLine);
}

void InvPrinter::InvHead_CF(std::int16_t piFNo, std::int16_t& piPage, std::int16_t& piLine) {
  heading_directly(orvo::InvHead_CF, piFNo, piPage, piLine);
}

}  // namespace orvo
