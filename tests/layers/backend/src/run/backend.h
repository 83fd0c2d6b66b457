// Deliberately against the order: only the user interface names a backend.
#include "platform/win32/win32_platform.h"
