// Deliberately against the order: the catalogue may not see the run.
#include "run/installation_run.h"
