#include <string>

#include "printer_object/channel/channel.h"
#include "printer_object/invoice_printer.h"

namespace orvo {

namespace {

enum class When { Always, Detail, NotDetail };

// The one place that maps a printer type to its layout, tested in this order. Types whose
// layout is not in this build are listed without a procedure so they fail with their name.
struct Route {
  std::string_view type;
  When when;
  std::string_view layout;
};

constexpr Route kRoutes[] = {
    {"DAYEH", When::Always, "Print_DAYEH"},     {"FE", When::Always, "Print_FE"},
    {"CF", When::Always, "Print_CF"},           {"SP200", When::Always, "Print_SP200"},
    {"SP300", When::Always, "Print_SP300"},     {"WP103", When::Always, "Print_WP103"},
    {"SP320", When::NotDetail, "Print_SP320"},  {"SP320", When::Detail, "Print_SP320D"},
    {"TP3688", When::Always, "Print_TP3688"},   {"KTV420", When::Always, "Print_KTV420"},
    {"RP420A", When::Always, "Print_RP420A"},   {"WINLQM1", When::Always, "Print_WINLQM1"},
    {"WISEINV", When::Always, "Print_WISEINV"}, {"WINLQ3P", When::Always, "Print_WINLQ3P"},
    {"WIN3PA4", When::Always, "Print_WIN3PA4"}, {"WIN3PA4B", When::Always, "Print_WIN3PA4B"},
};

const Route* route_for(const std::string& type, bool detail) {
  for (const auto& r : kRoutes) {
    if (r.type != type) continue;
    if (r.when == When::Detail && !detail) continue;
    if (r.when == When::NotDetail && detail) continue;
    return &r;
  }
  return nullptr;  // "RP420" and any other value: the standard roll layout
}

std::string yes_no(const Settings& s, std::string_view key) { return s.ip(key) == "Y" ? "Y" : "N"; }

}  // namespace

void InvPrinter::prepare_options(const Variant& pvDetail) {
  settings_ = read_settings();
  mvNoInvCopy = yes_no(settings_, "chkNoInvCopy");
  mvPrintTime = yes_no(settings_, "chkPrintTime");
  mvNoUserID = yes_no(settings_, "chkNoUserID");
  mvNoRemark = yes_no(settings_, "chkNoRemark");
  mvNoBottomLine = yes_no(settings_, "chkNoBottomLine");
  mvPrintTblName = yes_no(settings_, "chkPrintTblName");
  if (text_eq(mvNoUserID, "Y")) UserID = Variant("USERID");

  std::string label = Trim(settings_.ip("txtInvTotalDscp"));
  if (label.empty()) label = "消費合計";
  total_from_sale_ = false;
  const std::string last = Right(Str(TblName), 1);
  if (!TblName.is_null() && (last == "入" || last == "費" || last == "收")) {
    label = Str(TblName);
    total_from_sale_ = true;
  }
  if (!Remark.is_null() && Left(Str(Remark), 2) == "T:") {
    label = Mid(Str(Remark), 3);
    total_from_sale_ = true;
    Remark = Variant("");
  }
  mvTotalDscp = label;
  mvDetail = text_eq(pvDetail, "Y") ? "Y" : "N";
  const std::string kp = settings_.ip("chkItemUseKPType");
  mvItemUseKPType = kp.empty() ? std::string("N") : UCase(kp);
}

bool InvPrinter::PrintInv(const Variant& pvDetail, Recordset& pRST) {
  if (mvInvPrintPort.is_empty() || mvInvPrintPort.is_null())
    throw Error(kObjectError, "PrintInv", "請先設定連接埠:InvPrintPort");
  if (mvInvPrintType.is_empty()) mvInvPrintType = Variant("RP420");

  std::int16_t fno = 0;  // the standard layout's channel, closed here on every exit
  bool result = false;
  try {
    prepare_options(pvDetail);
    host_->set_busy(true);
    const std::string type = Str(mvInvPrintType);
    if (const Route* r = route_for(type, text_eq(mvDetail, "Y"))) {
      raise(err::kInvalidArgument, "發票機種類 " + type + " 的列印格式 " + std::string(r->layout) +
                                       " 尚未提供 (layout not available in this build)");
    }
    result = print_standard(fno, pRST);
    close_channel(fno);
  } catch (...) {
    const Error e = current_error();
    finish_print(fno);
    throw reraised("PrintInv", e);
  }
  finish_print(fno);
  return result;
}

}  // namespace orvo
