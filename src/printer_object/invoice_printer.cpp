#include "printer_object/invoice_printer.h"

#include <cstdlib>
#include <utility>

#include "page_printer_host/host_window.h"
#include "printer_object/print_dispatch.h"

namespace orvo {

const std::array<InvoiceRecord::FieldRef, 31> InvoiceRecord::kFields = {{
    {"POSID", &InvoiceRecord::POSID},
    {"TblName", &InvoiceRecord::TblName},
    {"RNo", &InvoiceRecord::RNo},
    {"CheckNo", &InvoiceRecord::CheckNo},
    {"InvDate", &InvoiceRecord::InvDate},
    {"BNo", &InvoiceRecord::BNo},
    {"InvTime", &InvoiceRecord::InvTime},
    {"InvAmt", &InvoiceRecord::InvAmt},
    {"UserID", &InvoiceRecord::UserID},
    {"StoreID", &InvoiceRecord::StoreID},
    {"Remark", &InvoiceRecord::Remark},
    {"SCharge", &InvoiceRecord::SCharge},
    {"Discount", &InvoiceRecord::Discount},
    {"TaxAdd", &InvoiceRecord::TaxAdd},
    {"OrderAmt", &InvoiceRecord::OrderAmt},
    {"Head0", &InvoiceRecord::Head0},
    {"Head1", &InvoiceRecord::Head1},
    {"Head2", &InvoiceRecord::Head2},
    {"Head3", &InvoiceRecord::Head3},
    {"Cash", &InvoiceRecord::Cash},
    {"Change", &InvoiceRecord::Change},
    {"PageCount", &InvoiceRecord::PageCount},
    {"BottomLine1", &InvoiceRecord::BottomLine1},
    {"BottomLine2", &InvoiceRecord::BottomLine2},
    {"CCardNo", &InvoiceRecord::CCardNo},
    {"CCardRef", &InvoiceRecord::CCardRef},
    {"VCardNo", &InvoiceRecord::VCardNo},
    {"VCardRef", &InvoiceRecord::VCardRef},
    {"VCardBPoint", &InvoiceRecord::VCardBPoint},
    {"VCardBalPoint", &InvoiceRecord::VCardBalPoint},
    {"UCardBalance", &InvoiceRecord::UCardBalance},
}};

InvPrinter::InvPrinter(std::shared_ptr<Host> host) : host_(std::move(host)) {
  if (!host_) host_ = make_terminal_host();
}

Variant* InvoiceRecord::field(std::string_view name) {
  for (const auto& f : kFields)
    if (f.name == name) return &(this->*f.member);
  return nullptr;
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
  return settings_file_ ? Settings::load(*settings_file_) : Settings::load();
}

}  // namespace orvo
