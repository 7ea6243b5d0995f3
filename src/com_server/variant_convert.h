#pragma once
// Automation VARIANTs and the core's values, both ways, and errors as a host sees them.
#include <oaidl.h>

#include <string>

#include "shared/errors.h"
#include "shared/variant.h"

namespace orvo::com {

// Text, numbers of every automation type, dates, Booleans, Null and Empty; a reference is
// followed; an object gives its default value; a missing optional argument is Empty. Anything
// else (arrays, ...) raises 13.
Variant from_variant(const VARIANT& v);
// Whole numbers within a Long come back as Long, others as Double.
void to_variant(const Variant& v, VARIANT& out);

// The object in `v` (by reference too), or nullptr when it holds none.
IDispatch* object_of(const VARIANT& v);

// The error number a host reads in Err.Number: object errors as they are, run-time errors as
// the control facility's HRESULT of that number.
HRESULT error_hresult(const Error& e);
// DISP_E_EXCEPTION with `info` filled from `e` (source, description, number).
HRESULT report(const Error& e, EXCEPINFO* info);

// An automation call on another object failed: its exception, or the system's message for `hr`.
[[noreturn]] void raise_from(HRESULT hr, const EXCEPINFO& info, const std::string& what);

std::wstring wide(const std::string& utf8);
std::string utf8(const wchar_t* text, std::size_t n);

}  // namespace orvo::com
