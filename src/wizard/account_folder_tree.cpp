#include "wizard/account_folder_tree.h"

#include "accounts/shell_folder_table.h"

namespace tarn::wizard {

namespace {

using accounts::UserAccount;

TextView LastComponent(TextView path) {
  const size_t slash = path.find_last_of(u'\\');
  return slash == TextView::npos ? path : path.substr(slash + 1);
}

// Moves each child of `parent` that lay directly in its old path `oldBase`
// under its new path; `levels` more generations follow.
void MoveChildren(UserAccount& account, size_t parent, TextView oldBase, int levels) {
  const TextView base = account.ShellFolders[parent].view();
  if (base.empty() || EqualsIgnoreCase(base, oldBase)) return;
  for (size_t child = 0; child < kShellFolderCount; ++child) {
    const uint32_t bit = 1u << child;
    if ((account.ShellFolderChildren[parent] & bit) == 0) continue;
    // A parent retyped from empty keeps the children it had.
    if (!oldBase.empty() && !LiesDirectlyIn(account.ShellFolders[child].view(), oldBase)) {
      account.ShellFolderChildren[parent] &= ~bit;
      continue;
    }
    Text moved(base);
    moved += u'\\';
    moved += LastComponent(account.ShellFolders[child].view());
    if (moved.size() > accounts::kPathCapacity) {
      // Cut, it would name another folder: the child stays put instead.
      account.ShellFolderChildren[parent] &= ~bit;
      continue;
    }
    const Text before = account.ShellFolders[child].str();
    account.ShellFolders[child] = moved;
    if (levels > 0) MoveChildren(account, child, before, levels - 1);
  }
}

}  // namespace

bool LiesDirectlyIn(TextView path, TextView parent) {
  const size_t slash = path.find_last_of(u'\\');
  if (slash == TextView::npos || slash == 0) return false;
  return EqualsIgnoreCase(path.substr(0, slash), parent);
}

void RetypeShellFolder(UserAccount& account, size_t index, TextView text) {
  if (index >= kShellFolderCount) return;
  const Text before = account.ShellFolders[index].str();
  account.ShellFolders[index] = text;
  if (const auto parent = accounts::DefaultShellFolderParent(index)) {
    const uint32_t bit = 1u << index;
    if (LiesDirectlyIn(account.ShellFolders[index].view(), account.ShellFolders[*parent].view())) {
      account.ShellFolderChildren[*parent] |= bit;
    } else {
      account.ShellFolderChildren[*parent] &= ~bit;
    }
  }
  MoveChildren(account, index, before, 1);
}

}  // namespace tarn::wizard
