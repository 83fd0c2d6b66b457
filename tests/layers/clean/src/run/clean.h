// Within the order: the run sees the catalogue, the accounts and app.
#include "accounts/user_account.h"
#include "app/app_context.h"
#include "catalogue/software_entry.h"
// The numbers of dialogs and texts are open to every layer.
#include "resource.h"
