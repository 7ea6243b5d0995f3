#include "shared/errors.h"

#include <exception>
#include <new>

namespace orvo {

Error current_error() {
  try {
    throw;
  } catch (const Error& e) {
    return e;
  } catch (const std::bad_alloc&) {
    return Error(7, "Out of memory");
  } catch (const std::exception& e) {
    return Error(51, std::string("Internal error: ") + e.what());
  } catch (...) {
    return Error(51, "Internal error");
  }
}

}  // namespace orvo
