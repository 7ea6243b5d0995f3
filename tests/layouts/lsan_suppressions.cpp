// Text measured and drawn with the real fonts loads fontconfig.
#include "support/fontconfig_leak.h"
