#pragma once
// What needs large libraries (GTK for the prompt window; Cairo, Pango and CUPS for page
// printers) is built as a module and loaded on first use, so that a roll print starts without
// them: loading those libraries costs a short print several times its own work.
#include <string>

namespace orvo {

// The address of `symbol` in the module file `name` (e.g. "orvo-page.so"), loaded once and kept
// for the life of the process. Looks only in $ORVO_MODULE_DIR when that is set; else beside the
// running program, then beside the library holding this loader (an installed package's
// lib/<triplet>/orvo-invoice/), then in the directory the build put its modules in. Raises kFileNotFound naming the module,
// the places it looked and the loader's reason.
void* module_symbol(const std::string& name, const char* symbol);

}  // namespace orvo
