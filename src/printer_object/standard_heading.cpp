#include <string>

#include "printer_object/invoice_printer.h"
#include "printer_object/roll_commands.h"
#include "shared/cp950.h"

namespace orvo {

namespace {

constexpr std::string_view kRollChangePrompt = "請更換發票後按[確定]";
constexpr std::int16_t kRollChangeSeconds = 900;

// The invoice number of form `page`: InvNo on the first form, then its number part counted on.
std::string invoice_number_of_form(const Variant& inv_no, std::int16_t page) {
  const std::string no = Str(inv_no);
  if (page <= 1) return no;
  const std::string digits = Mid(no, 3);
  const bool numeric = !digits.empty() && digits.size() <= 15 &&
                       digits.find_first_not_of("0123456789") == std::string::npos;
  if (!numeric)
    raise(err::kTypeMismatch,
          "Type mismatch: InvNo \"" + no + "\" has no invoice number from its third character on");
  return Left(no, 2) + std::to_string(std::stoll(digits) + page - 1);
}

bool ends_a_roll(const std::string& number) {
  const std::string tail = Right(number, 3);
  return tail == "000" || tail == "250" || tail == "500" || tail == "750";
}

}  // namespace

void InvPrinter::InvHead(std::int16_t iFNo, std::int16_t& piPage, std::int16_t& piLine) {
  try {
    if (piLine > 24) {
      send(iFNo, cmd::feed(36 - piLine));
      send(iFNo, cmd::kStampAndFormFeed);
      const std::string next = invoice_number_of_form(mvInvNo, add16(piPage, 1));
      if (ends_a_roll(next))
        host_->show_message(std::string(kRollChangePrompt), kRollChangeSeconds);
      piPage = add16(piPage, 1);
      piLine = 1;
    }
    if (piLine >= 2) return;

    for (const Variant* head : {&Head0, &Head1, &Head2, &Head3}) {
      if (not_blank(*head))
        send_text(iFNo, PadRightB(*head, Variant(24)) + "\n");
      else
        send(iFNo, cmd::feed(1));
    }
    const DateValue now = host_->now();
    std::string date_line = "日期:";
    date_line += format_date(now, "YYYY-MM-DD");
    if (text_eq(mvPrintTime, "Y")) date_line.append(" ").append(format_date(now, "hh:mm"));
    send_text(iFNo, date_line + "\n");
    send_text(iFNo,
              PadRightB(StoreID, Variant(12)) + " " + "  " + PadLeftB(UserID, Variant(8)) + "\n");
    send_text(iFNo, "檢碼(" + Right(invoice_number_of_form(mvInvNo, piPage), 4) + ") " + "機" +
                        PadLeftB(POSID, Variant(4)) + "  " + "頁:" + Format(Variant(piPage), "00") +
                        "\n");
    std::string table_line;
    if (text_eq(mvPrintTblName, "Y")) {
      const std::string tbl = Str(TblName);
      const std::size_t dash = InStr(tbl, "-");
      table_line = "T: " + (dash ? Left(tbl, dash) : tbl);
    } else {
      table_line = not_blank(CheckNo) ? "帳單:" + Str(CheckNo) : "  ";
    }
    send_text(iFNo, table_line + "\n");
    if (not_blank(BNo))
      send_text(iFNo, "客戶統編: " + Str(BNo) + "\n");
    else
      send(iFNo, cmd::feed(1));
    piLine = 10;
  } catch (...) {
    throw reraised("InvHead", current_error());
  }
}

}  // namespace orvo
