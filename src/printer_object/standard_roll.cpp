// The standard roll layout: 24 byte columns on 36-line invoice forms of the two-station RP420.
#include <string>

#include "printer_object/invoice_printer.h"
#include "printer_object/roll_commands.h"
#include "shared/cp950.h"

namespace orvo {

namespace {

constexpr int kWidth = 24;

// `X = 0` of the host language: Null is never equal; text must be a number (error 13).
bool is_zero(const Variant& v) { return !v.is_null() && Num(v) == 0; }

bool not_trim_blank(const Variant& v) { return !v.is_null() && !Trim(Str(v)).empty(); }

std::string amount7(const Variant& v) { return PadLeftB(Format(v, "#,##0"), Variant(7)) + "元 "; }

bool skippable_type(const std::string& t) {
  return t == "S2" || t == "A1" || t == "T1" || t == "SX" || t == "AN" || t == "TN";
}

}  // namespace

bool InvPrinter::print_standard(std::int16_t& fno, Recordset& rst) {
  fno = open_channel(settings_);
  initialise_printer(fno);
  send(fno, cmd::kBothStations);
  if (text_eq(mvNoInvCopy, "Y")) send(fno, cmd::kInvoiceStationOnly);
  PageCount = Variant(1);
  std::int16_t page = 1, line = 1;
  InvHead(fno, page, line);
  const bool print_more = settings_.ip("chkPrintMore") == "Y";
  const bool skip_zero_s2a1 = settings_.ip("chkInvNoS2A1") == "Y";

  const std::string label = Str(mvTotalDscp);
  auto print_line = [&](const std::string& text) {
    send_text(fno, text + "\n");
    line = add16(line, 1);
  };
  auto total_line = [&] {
    print_line(PadLeftB(label + ": " + Format(InvAmt, "#,##0") + "元", Variant(kWidth)));
  };
  // Printed bottom lines are cleared so that a reprint without new values leaves them out.
  auto bottom_lines = [&](bool with_second) {
    if (!not_blank(BottomLine1) || text_eq(mvNoBottomLine, "Y")) return;
    print_line(Str(BottomLine1));
    BottomLine1 = Variant("");
    if (with_second && not_blank(BottomLine2)) {
      print_line(Str(BottomLine2));
      BottomLine2 = Variant("");
    }
  };

  if (!text_eq(mvDetail, "Y")) {
    send(fno, cmd::feed(2));
    line = add16(line, 2);
    InvHead(fno, page, line);
    if (Left(Str(TblName), 2) == "收訂") {
      print_line(PadLeftB("訂金: " + Format(InvAmt, "#,##0") + "元", Variant(kWidth)));
      bottom_lines(false);
    } else {
      if (!total_from_sale_ && print_more && rst.State() == 1) {
        double ia = 0, other = 0;
        while (!rst.Eof()) {
          const std::string kp = Str(rst.Fields("RefKPType"));
          const std::string type = Str(rst.Fields("ItemType"));
          const double price = Val(rst.Fields("Price"));
          const double amt = Val(rst.Fields("Amt"));
          const double qty = Val(rst.Fields("Qty"));
          if (kp.empty() && price < 0 && qty > 0) (type == "IA" ? ia : other) += amt;
          rst.MoveNext();
        }
        const struct {
          const char* caption;
          double value;
        } rows[] = {
            {label == "合計" ? "   食 品:" : "   餐 飲:", Val(OrderAmt) - ia - other},
            {"  服務費:", Val(SCharge)},
            {"  折扣額:", Val(Discount)},
            {"  溢  收:", Val(TaxAdd)},
            {"  扣抵項:", other},
            {"  IA抵扣:", ia},
        };
        for (std::size_t i = 0; i < std::size(rows); ++i) {
          const bool shown = i == 0 ? Val(OrderAmt) != 0 : rows[i].value != 0;
          if (shown) print_line(rows[i].caption + amount7(Variant(rows[i].value)));
        }
        print_line("--------------------");
        print_line("    " + label + ": " + Format(InvAmt, "#,##0") + "元");
      } else {
        total_line();
      }
      if (is_zero(InvAmt)) {
        print_line(" (發票歸零,無法對獎)");
      } else if (not_blank(Change)) {
        print_line(" ");
        print_line("現收: " + Str(Cash));
        print_line("找零: " + Str(Change));
      } else if (not_blank(Remark) && !text_eq(mvNoRemark, "Y")) {
        print_line(PadRightB(Remark, Variant(kWidth)));
      }
      bottom_lines(true);
    }
  } else {
    const bool blank_qty = text_eq(Remark, "InvNoPrintQty");
    if (rst.State() == 1) {
      while (!rst.Eof()) {
        std::string name = Str(rst.Fields("itemname"));
        const std::string cap = Str(rst.Fields("PriceCap"));
        const double qty = Val(rst.Fields("Qty"));
        const double amt = Val(rst.Fields("Amt"));
        const std::string type = Str(rst.Fields("ItemType"));
        if (skippable_type(type) && amt == 0 && skip_zero_s2a1) {
          rst.MoveNext();
          continue;
        }
        if (text_eq(mvItemUseKPType, "Y")) name = Str(rst.Fields("RefKPType"));
        const std::string full = (cap.empty() || cap == "時價") ? name : name + "-" + cap;
        const bool long_name = byte_width(full) > 14;
        std::string columns = PadRightB(long_name ? Left(full, 7) : full, Variant(14));
        columns += blank_qty ? "   " : PadLeftB(Variant(qty), Variant(3));
        if (amt > 99999) {
          columns += PadLeftB(Variant(amt), Variant(7));
        } else if (Left(type, 2) == "NT") {
          columns += PadLeftB(Variant(amt), Variant(5)) + "TZ";
        } else if (type == "BP") {
          columns += PadLeftB(Variant(qty * Val(rst.Fields("Remark"))), Variant(5)) + "點";
        } else {
          columns += PadLeftB(Variant(amt), Variant(5)) + "TX";
        }
        InvHead(fno, page, line);
        print_line(columns);
        if (long_name) {
          InvHead(fno, page, line);
          send_text(fno, Mid(full, 8, 10) + "\r\n");
          line = add16(line, 1);
        }
        rst.MoveNext();
      }
    }
    auto next_line = [&](const std::string& text) {
      InvHead(fno, page, line);
      print_line(text);
    };
    next_line(" ");
    const struct {
      const char* caption;
      const Variant* value;
    } sums[] = {{" 小計:", &OrderAmt},
                {" 服務費:", &SCharge},
                {" 折扣額:", &Discount},
                {" 溢收:", &TaxAdd}};
    for (const auto& s : sums)
      if (Val(*s.value) != 0) next_line(s.caption + amount7(*s.value));
    InvHead(fno, page, line);
    total_line();
    if (is_zero(InvAmt)) next_line(" (發票歸零,無法對獎)");
    const struct {
      const char* caption;
      const Variant* value;
    } payments[] = {{"信用卡號", &CCardNo},          {"調閱編號   =   ", &CCardRef},
                    {"儲值卡號", &VCardNo},          {"調閱編號 = ", &VCardRef},
                    {"儲值餘額 = ", &VCardBPoint},   {"紅利餘點 = ", &VCardBalPoint},
                    {"悠遊卡餘額 = ", &UCardBalance}};
    for (const auto& p : payments)
      if (not_blank(*p.value)) next_line(p.caption + Str(*p.value));
    if (not_trim_blank(Remark)) next_line(PadRightB(Remark, Variant(kWidth)));
    if (not_trim_blank(BottomLine1) && !text_eq(mvNoBottomLine, "Y")) {
      next_line(Str(BottomLine1));
      BottomLine1 = Variant("");
      if (not_trim_blank(BottomLine2)) {
        next_line(Str(BottomLine2));
        BottomLine2 = Variant("");
      }
    }
  }

  send(fno, cmd::feed(36 - line));
  send(fno, cmd::kStampAndFormFeed);
  PageCount = Variant(page);
  return true;
}

}  // namespace orvo
