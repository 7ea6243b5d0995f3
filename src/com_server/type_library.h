#pragma once
// The type library embedded in this module (resource 1), and this module's file.
#include <oaidl.h>

#include <string>

namespace orvo::com {

HMODULE this_module();
std::wstring module_path();
// The type information of the class or interface `guid`, from the embedded library.
HRESULT type_info(REFGUID guid, ITypeInfo** info);

}  // namespace orvo::com
