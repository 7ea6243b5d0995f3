#pragma once
// The dispatch interface _InvPrinter: every member's name and dispatch id, as hosts bound to
// them. The fields follow the invoice record's order from 0x40030007.
#include <windows.h>

#include <array>
#include <cstdint>
#include <span>

namespace orvo::com {

// {D8F94DF9-AD3A-4788-A410-DAC4E4C1841C}
inline constexpr CLSID kClsidInvPrinter = {
    0xD8F94DF9, 0xAD3A, 0x4788, {0xA4, 0x10, 0xDA, 0xC4, 0xE4, 0xC1, 0x84, 0x1C}};
// {2C7D14B0-CF96-4674-BDF3-1D6E01617114}
inline constexpr IID kIidInvPrinter = {
    0x2C7D14B0, 0xCF96, 0x4674, {0xBD, 0xF3, 0x1D, 0x6E, 0x01, 0x61, 0x71, 0x14}};
// {779E640C-ED30-4919-9F63-15D4CBA4677D}: the type library embedded as resource 1.
inline constexpr GUID kLibidOrvoInvoice = {
    0x779E640C, 0xED30, 0x4919, {0x9F, 0x63, 0x15, 0xD4, 0xCB, 0xA4, 0x67, 0x7D}};
inline constexpr const wchar_t* kProgId = L"OrvoInvoice.InvPrinter";

inline constexpr DISPID kFirstField = 0x40030007;
inline constexpr DISPID kInvPrintType = 0;  // the default member
inline constexpr DISPID kInvPrintPort = 0x68030000;
inline constexpr DISPID kInvType = 0x68030001;
inline constexpr DISPID kInvNo = 0x68030002;

enum class Method : DISPID {
  SetPrinter = 0x60030011,
  PrintInv = 0x60030012,
  PrintT2 = 0x60030013,
  TestPrint = 0x60030014,
  Print_DAYEH = 0x6003001a,
  InvHead_FE = 0x6003001b,
  Print_FE = 0x6003001c,
  InvHead_CF = 0x6003001d,
  Print_CF = 0x6003001e,
};

struct MethodInfo {
  Method id;
  const wchar_t* name;
  std::array<const wchar_t*, 4> params;  // for named arguments; unused slots nullptr
};

inline constexpr std::array<MethodInfo, 9> kMethods = {{
    {Method::SetPrinter, L"SetPrinter", {}},
    {Method::PrintInv, L"PrintInv", {L"pvDetail", L"pRST"}},
    {Method::PrintT2, L"PrintT2", {L"pvInvNextNo", L"pvInvRNo", L"pvCasherID", L"prstItem"}},
    {Method::TestPrint, L"TestPrint", {}},
    {Method::Print_DAYEH, L"Print_DAYEH", {L"pRST"}},
    {Method::InvHead_FE, L"InvHead_FE", {L"piFNo", L"piPage", L"piLine"}},
    {Method::Print_FE, L"Print_FE", {L"pRST"}},
    {Method::InvHead_CF, L"InvHead_CF", {L"piFNo", L"piPage", L"piLine"}},
    {Method::Print_CF, L"Print_CF", {L"pRST"}},
}};

struct PropertyInfo {
  DISPID id;
  const wchar_t* name;
  bool settable;  // takes an object (Set) as well as a value
};

inline constexpr std::array<PropertyInfo, 4> kProperties = {{
    {kInvPrintType, L"InvPrintType", false},
    {kInvPrintPort, L"InvPrintPort", false},
    {kInvType, L"InvType", true},
    {kInvNo, L"InvNo", true},
}};

}  // namespace orvo::com
