// Deliberately against the order: accounts and catalogue are siblings.
#include "catalogue/software_entry.h"
