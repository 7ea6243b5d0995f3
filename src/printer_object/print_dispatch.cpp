#include "printer_object/print_dispatch.h"

#include <algorithm>
#include <string>

#include "layouts/page/page_layouts.h"
#include "layouts/roll/dayeh.h"
#include "layouts/roll/ktv420.h"
#include "layouts/roll/rp420a.h"
#include "layouts/roll/sp200.h"
#include "layouts/roll/sp300.h"
#include "layouts/roll/sp320.h"
#include "layouts/roll/standard.h"
#include "layouts/roll/store_roll.h"
#include "layouts/roll/tp3688.h"
#include "layouts/roll/wp103.h"
#include "printer_object/invoice_printer.h"

namespace orvo {

namespace {

// The rows come from the layouts, in the order PrintInv tests them; the standard roll layout
// last. Each is constant-initialized where its layout defines it, so this copy can be made at
// start-up.
const Route kRoutes[] = {
    kDayehRoute,   kFeRoute,      kCfRoute,      kSp200Route,    kSp300Route,    kWp103Route,
    kSp320Route,   kSp320dRoute,  kTp3688Route,  kKtv420Route,   kRp420aRoute,   kWinlqm1Route,
    kWiseinvRoute, kWinlq3pRoute, kWin3pa4Route, kWin3pa4bRoute, kStandardRoute,
};

bool serves(const Route& r, bool detail) {
  return r.when == When::Always || (r.when == When::Detail) == detail;
}

}  // namespace

std::span<const Route> routes() { return kRoutes; }

const Route& route_for(std::string_view type, bool detail) {
  const std::span<const Route> all = routes();
  for (const Route& r : all)
    if (r.type == type && serves(r, detail)) return r;
  return all.back();
}

bool is_accepted_type(std::string_view type) {
  return std::any_of(std::begin(kRoutes), std::end(kRoutes),
                     [&](const Route& r) { return r.type == type; });
}

void InvPrinter::prepare_options(const Settings& settings, const Variant& pvDetail) {
  const auto yes = [&](std::string_view key) { return settings.ip(key) == "Y"; };
  opt_.no_inv_copy = yes("chkNoInvCopy");
  opt_.print_time = yes("chkPrintTime");
  opt_.no_user_id = yes("chkNoUserID");
  opt_.no_remark = yes("chkNoRemark");
  opt_.no_bottom_line = yes("chkNoBottomLine");
  opt_.print_tbl_name = yes("chkPrintTblName");
  if (opt_.no_user_id) UserID = Variant("USERID");

  std::string label = Trim(settings.ip("txtInvTotalDscp"));
  if (label.empty()) label = "消費合計";
  opt_.total_from_sale = false;
  const std::string last = Right(Str(TblName), 1);
  if (!TblName.is_null() && (last == "入" || last == "費" || last == "收")) {
    label = Str(TblName);
    opt_.total_from_sale = true;
  }
  if (!Remark.is_null() && Left(Str(Remark), 2) == "T:") {
    label = Mid(Str(Remark), 3);
    opt_.total_from_sale = true;
    Remark = Variant("");
  }
  opt_.total_label = label;
  opt_.detail = text_eq(pvDetail, "Y");
  const std::string kp = settings.ip("chkItemUseKPType");
  opt_.item_use_kp_type = kp.empty() ? std::string("N") : UCase(kp);
  options_prepared_ = true;
}

bool InvPrinter::run_route(const Route& route, PrintJob& job) {
  if (route.page.draw) {
    return run_page_layout(route.proc, route.on_failure, route.page, job,
                           {page_window(), page_output()});
  }
  const PortRequest port{channels(), Str(mvInvPrintPort), port_opener_};
  return run_roll_layout(route.proc, route.on_failure, route.roll, job, port, route.heading);
}

bool InvPrinter::PrintInv(const Variant& pvDetail, Recordset& pRST) {
  start_print("PrintInv");
  return raising_as("PrintInv", [&] {
    const Settings settings = read_settings();
    prepare_options(settings, pvDetail);
    BusyPointer busy(*host_);
    PrintJob job{*this, mvInvNo, opt_, settings, *host_, pRST, pvDetail};
    return run_route(route_for(Str(mvInvPrintType), opt_.detail), job);
  });
}

}  // namespace orvo
