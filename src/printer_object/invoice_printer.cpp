#include "printer_object/invoice_printer.h"

#include <algorithm>
#include <utility>

#include "printer_object/channel/channel.h"
#include "shared/cp950.h"

namespace orvo {

namespace {

constexpr std::string_view kAcceptedTypes[] = {
    "RP420",   "RP420A",  "WP103",   "SP320",   "SP300",    "SP200", "TP3688", "KTV420",
    "WISEINV", "WINLQ3P", "WINLQM1", "WIN3PA4", "WIN3PA4B", "DAYEH", "FE",     "CF"};

}  // namespace

const std::array<InvPrinter::FieldRef, 31> InvPrinter::kFields = {{
    {"POSID", &InvPrinter::POSID},
    {"TblName", &InvPrinter::TblName},
    {"RNo", &InvPrinter::RNo},
    {"CheckNo", &InvPrinter::CheckNo},
    {"InvDate", &InvPrinter::InvDate},
    {"BNo", &InvPrinter::BNo},
    {"InvTime", &InvPrinter::InvTime},
    {"InvAmt", &InvPrinter::InvAmt},
    {"UserID", &InvPrinter::UserID},
    {"StoreID", &InvPrinter::StoreID},
    {"Remark", &InvPrinter::Remark},
    {"SCharge", &InvPrinter::SCharge},
    {"Discount", &InvPrinter::Discount},
    {"TaxAdd", &InvPrinter::TaxAdd},
    {"OrderAmt", &InvPrinter::OrderAmt},
    {"Head0", &InvPrinter::Head0},
    {"Head1", &InvPrinter::Head1},
    {"Head2", &InvPrinter::Head2},
    {"Head3", &InvPrinter::Head3},
    {"Cash", &InvPrinter::Cash},
    {"Change", &InvPrinter::Change},
    {"PageCount", &InvPrinter::PageCount},
    {"BottomLine1", &InvPrinter::BottomLine1},
    {"BottomLine2", &InvPrinter::BottomLine2},
    {"CCardNo", &InvPrinter::CCardNo},
    {"CCardRef", &InvPrinter::CCardRef},
    {"VCardNo", &InvPrinter::VCardNo},
    {"VCardRef", &InvPrinter::VCardRef},
    {"VCardBPoint", &InvPrinter::VCardBPoint},
    {"VCardBalPoint", &InvPrinter::VCardBalPoint},
    {"UCardBalance", &InvPrinter::UCardBalance},
}};

InvPrinter::InvPrinter(std::shared_ptr<Host> host) : host_(std::move(host)) {
  if (!host_) host_ = make_terminal_host();
}

Variant* InvPrinter::field(std::string_view name) {
  for (const auto& f : kFields)
    if (f.name == name) return &(this->*f.member);
  return nullptr;
}

bool InvPrinter::accepted_type(std::string_view code) {
  return std::find(std::begin(kAcceptedTypes), std::end(kAcceptedTypes), code) !=
         std::end(kAcceptedTypes);
}

void InvPrinter::InvPrintType(const Variant& v) {
  if (v.is_null() || !accepted_type(Str(v)))
    throw Error(kObjectError, "InvPrintPort:", "不支援此發票機種類:" + Str(v));
  mvInvPrintType = v;
}

void InvPrinter::SetPrinter() { host_->message_box("本功能暫時不支援", BoxIcon::Information); }

bool InvPrinter::PrintT2(const Variant&, const Variant&, const Variant&, Variant&) { return false; }

Settings InvPrinter::read_settings() const {
  return settings_file_ ? Settings::load(*settings_file_) : Settings::load();
}

std::int16_t InvPrinter::open_channel(const Settings& settings) {
  const std::int16_t fno = channels().FreeFile();
  channels().open(fno, Str(mvInvPrintPort), settings);
  return fno;
}

void InvPrinter::send(std::int16_t fno, std::string_view bytes) { channels().write(fno, bytes); }

void InvPrinter::send_text(std::int16_t fno, std::string_view utf8) {
  channels().write(fno, to_cp950(utf8));
}

void InvPrinter::initialise_printer(std::int16_t fno) {
  send(fno, "\x1b@");
  Pause(*host_, 0.5);
  host_->do_events();
}

void InvPrinter::close_channel(std::int16_t& fno) {
  const std::int16_t f = std::exchange(fno, std::int16_t{0});
  if (f) channels().close(f);
}

void InvPrinter::finish_print(std::int16_t fno) {
  host_->set_busy(false);
  try {
    close_channel(fno);
  } catch (...) {
    // Already failing: the first error is the one the host hears about.
  }
}

}  // namespace orvo
