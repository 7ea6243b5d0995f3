// The in-process server's entry points: the class factory of OrvoInvoice.InvPrinter, unloading,
// and registration of the class, its ProgID and the type library.
#include <windows.h>
#include <olectl.h>

#include <atomic>
#include <cstdlib>
#include <cstdio>
#include <new>

#include "com_server/inv_printer_object.h"
#include "com_server/members.h"
#include "com_server/type_library.h"
#include "platform/windows/desktop_host.h"

namespace orvo::com {

namespace {

std::atomic<long> g_locks{0};

// ORVO_NOW (YYYY-MM-DDTHH:MM:SS) stops the clock, as the tool's --now does: for tests and demos
// that must print the same bytes twice.
TerminalHostOptions host_options() {
  TerminalHostOptions options;
  options.prompt = PromptMode::Gui;
  if (const char* now = std::getenv("ORVO_NOW"); now && *now) {
    CivilTime t;
    if (std::sscanf(now, "%d-%d-%dT%d:%d:%d", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                    &t.second) == 6) {
      options.fixed_now = date_from_civil(t);
    }
  }
  return options;
}

class ClassFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (riid != IID_IUnknown && riid != IID_IClassFactory) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // one static instance
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    InvPrinterObject* object = nullptr;
    try {
      object = new InvPrinterObject(make_desktop_host(host_options()));
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_FAIL;
    }
    const HRESULT hr = object->QueryInterface(riid, out);
    object->Release();
    return hr;
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    lock ? ++g_locks : --g_locks;
    return S_OK;
  }
};

ClassFactory g_factory;

std::wstring guid_text(REFGUID guid) {
  wchar_t text[64];
  ::StringFromGUID2(guid, text, 64);
  return text;
}

bool set_value(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY k = nullptr;
  if (::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const LSTATUS r = ::RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(k);
  return r == ERROR_SUCCESS;
}

}  // namespace

HMODULE this_module() {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&this_module), &module);
  return module;
}

std::wstring module_path() {
  wchar_t path[MAX_PATH * 2];
  const DWORD n = ::GetModuleFileNameW(this_module(), path, MAX_PATH * 2);
  return std::wstring(path, n);
}

HRESULT type_info(REFGUID guid, ITypeInfo** info) {
  ITypeLib* lib = nullptr;
  HRESULT hr = ::LoadTypeLibEx(module_path().c_str(), REGKIND_NONE, &lib);
  if (FAILED(hr)) return hr;
  hr = lib->GetTypeInfoOfGuid(guid, info);
  lib->Release();
  return hr;
}

}  // namespace orvo::com

using namespace orvo::com;

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (clsid != kClsidInvPrinter) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, out);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return live_objects() == 0 && g_locks == 0 ? S_OK : S_FALSE;
}

HRESULT STDAPICALLTYPE DllRegisterServer() {
  const std::wstring clsid = L"CLSID\\" + guid_text(kClsidInvPrinter);
  const std::wstring prog = kProgId;
  const std::wstring description = L"OrvoInvoice.InvPrinter";
  const bool ok = set_value(HKEY_CLASSES_ROOT, prog, nullptr, description) &&
                  set_value(HKEY_CLASSES_ROOT, prog + L"\\CLSID", nullptr, guid_text(kClsidInvPrinter)) &&
                  set_value(HKEY_CLASSES_ROOT, clsid, nullptr, description) &&
                  set_value(HKEY_CLASSES_ROOT, clsid + L"\\InprocServer32", nullptr, module_path()) &&
                  set_value(HKEY_CLASSES_ROOT, clsid + L"\\InprocServer32", L"ThreadingModel",
                            L"Apartment") &&
                  set_value(HKEY_CLASSES_ROOT, clsid + L"\\ProgID", nullptr, prog) &&
                  set_value(HKEY_CLASSES_ROOT, clsid + L"\\VERSION", nullptr, L"1.0") &&
                  set_value(HKEY_CLASSES_ROOT, clsid + L"\\TypeLib", nullptr,
                            guid_text(kLibidOrvoInvoice));
  if (!ok) return SELFREG_E_CLASS;
  ITypeLib* lib = nullptr;
  HRESULT hr = ::LoadTypeLibEx(module_path().c_str(), REGKIND_NONE, &lib);
  if (SUCCEEDED(hr)) {
    hr = ::RegisterTypeLib(lib, const_cast<LPOLESTR>(module_path().c_str()), nullptr);
    lib->Release();
  }
  return SUCCEEDED(hr) ? S_OK : SELFREG_E_TYPELIB;
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
  ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
  ::RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + guid_text(kClsidInvPrinter)).c_str());
  ::UnRegisterTypeLib(kLibidOrvoInvoice, 1, 0, LANG_NEUTRAL,
                      sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
  return S_OK;
}

}  // extern "C"
