#pragma once
// What a layout receives: the sale, the options PrintInv prepared, the settings read for this
// print, the host and the item rows. Nothing else of the printer object is in reach.
#include <string>

#include "layout_kit/invoice_record.h"
#include "recordset/recordset.h"
#include "settings/settings.h"
#include "shared/host.h"
#include "shared/variant.h"

namespace orvo {

// The private option members, as PrintInv prepares them before each print.
struct PrintOptions {
  bool detail = false;                 // mvDetail: pvDetail was exactly "Y"
  bool print_time = false;             // mvPrintTime
  bool no_inv_copy = false;            // mvNoInvCopy
  bool no_user_id = false;             // mvNoUserID
  bool no_remark = false;              // mvNoRemark
  bool no_bottom_line = false;         // mvNoBottomLine
  bool print_tbl_name = false;         // mvPrintTblName
  std::string item_use_kp_type = "N";  // mvItemUseKPType: the setting upper-cased, "N" when empty
  std::string total_label;             // mvTotalDscp
  bool total_from_sale = false;        // the label came from TblName or a "T:" remark
  Variant wise_base_y;                 // mvWiseBaseY, kept by the WISEINV layout

  bool item_name_from_kitchen_type() const { return item_use_kp_type == "Y"; }
};

struct PrintJob {
  InvoiceRecord& inv;     // layouts write PageCount back and clear printed bottom lines
  const Variant& inv_no;  // InvNo: the number of the first form, never changed
  PrintOptions& opt;
  const Settings& settings;
  Host& host;
  Recordset& items;
  const Variant& pvDetail;  // as the host passed it
};

}  // namespace orvo
