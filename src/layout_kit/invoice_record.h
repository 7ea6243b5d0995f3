#pragma once
// The invoice record: the 31 public fields a host fills for one sale, in interface order.
#include <array>
#include <string_view>

#include "shared/variant.h"

namespace orvo {

struct InvoiceRecord {
  Variant POSID, TblName, RNo, CheckNo, InvDate, BNo, InvTime, InvAmt, UserID, StoreID, Remark,
      SCharge, Discount, TaxAdd, OrderAmt, Head0, Head1, Head2, Head3, Cash, Change, PageCount,
      BottomLine1, BottomLine2, CCardNo, CCardRef, VCardNo, VCardRef, VCardBPoint, VCardBalPoint,
      UCardBalance;

  struct FieldRef {
    std::string_view name;
    Variant InvoiceRecord::*member;
  };
  static const std::array<FieldRef, 31> kFields;
  // The field of that exact name, or nullptr.
  Variant* field(std::string_view name);
};

}  // namespace orvo
