// Within the order: the run sees the catalogue, the accounts and app.
#include "accounts/user_account.h"
#include "app/app_context.h"
#include "catalogue/software_entry.h"
