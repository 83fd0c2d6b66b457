#include "startup/app_context.h"
