#include "layout_kit/invoice_record.h"

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

Variant* InvoiceRecord::field(std::string_view name) {
  for (const auto& f : kFields)
    if (f.name == name) return &(this->*f.member);
  return nullptr;
}

}  // namespace orvo
