#pragma once
// InvPrinter: "a printer object to control various type of invoice printer". A host fills the
// invoice record, picks the printer type and port, and calls PrintInv with the item rows.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "printer_object/recordset/recordset.h"
#include "printer_object/settings/settings.h"
#include "shared/errors.h"
#include "shared/host.h"
#include "shared/variant.h"

namespace orvo {

class InvPrinter {
 public:
  // Without a host the object talks to the terminal.
  explicit InvPrinter(std::shared_ptr<Host> host = nullptr);

  // The invoice record, in interface order.
  Variant POSID, TblName, RNo, CheckNo, InvDate, BNo, InvTime, InvAmt, UserID, StoreID, Remark,
      SCharge, Discount, TaxAdd, OrderAmt, Head0, Head1, Head2, Head3, Cash, Change, PageCount,
      BottomLine1, BottomLine2, CCardNo, CCardRef, VCardNo, VCardRef, VCardBPoint, VCardBalPoint,
      UCardBalance;

  struct FieldRef {
    std::string_view name;
    Variant InvPrinter::*member;
  };
  static const std::array<FieldRef, 31> kFields;
  // The public field of that exact name, or nullptr.
  Variant* field(std::string_view name);

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

  // Where the settings store lives; unset means settings_path() at each print.
  void set_settings_file(std::optional<std::filesystem::path> file) {
    settings_file_ = std::move(file);
  }
  Host& host() { return *host_; }

  // Private option members as PrintInv prepared them (read by layouts and tests).
  const Variant& option_detail() const { return mvDetail; }
  const Variant& option_total_label() const { return mvTotalDscp; }

 private:
  // Settings and options for one print.
  Settings read_settings() const;
  void prepare_options(const Variant& pvDetail);

  // Channel helpers shared by the roll layouts.
  std::int16_t open_channel(const Settings& settings);
  void send(std::int16_t fno, std::string_view bytes);      // raw bytes
  void send_text(std::int16_t fno, std::string_view utf8);  // text, encoded to code page 950
  void initialise_printer(std::int16_t fno);                // ESC @, half a second, events
  // Closing can still fail (data not delivered), so success paths close inside their try.
  void close_channel(std::int16_t& fno);
  // The error path of a print entry: pointer restored, its channel (if any) closed.
  void finish_print(std::int16_t fno);

  // Standard heading and form change of the 36-line roll forms.
  void InvHead(std::int16_t iFNo, std::int16_t& piPage, std::int16_t& piLine);
  // The standard roll layout, run in place by PrintInv on the channel it opened.
  bool print_standard(std::int16_t& fno, Recordset& rst);

  std::shared_ptr<Host> host_;
  std::optional<std::filesystem::path> settings_file_;
  Settings settings_;  // as read at the start of the current print

  Variant mvInvPrintType, mvInvPrintPort, mvInvType, mvInvNo, mvDetail, mvPrintTime, mvNoInvCopy,
      mvTotalDscp, mvWiseBaseY, mvItemUseKPType, mvPrintTblName, mvNoRemark, mvNoUserID,
      mvNoBottomLine;
  bool total_from_sale_ = false;  // the total label came from TblName or a "T:" remark
};

}  // namespace orvo
