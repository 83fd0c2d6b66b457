#include "wizard/local_accounts.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/machine.h"

namespace tarn::wizard {
namespace {

TEST(LocalAccounts, RowsShowTheStateAndADescriptionOrAQuestionMark) {
  sim::Machine machine;
  platform::UserInfo plain;
  plain.name = u"twenty-characters-xy";  // the longest name, kept whole
  plain.flags = 0x200;
  (void)machine.accounts().PutUser(plain);

  std::string rows;
  for (const LocalAccountRow& row : ListLocalAccounts(machine.accounts())) {
    rows += ToUtf8(row.name) + "/" + std::to_string(row.image) + "/" + ToUtf8(row.comment) + "; ";
  }
  EXPECT_EQ(rows,
            "Administrator/2/Built-in account for administering the computer/domain; "
            "Guest/3/Built-in account for guest access to the computer/domain; "
            "twenty-characters-xy/2/?; ");
}

}  // namespace
}  // namespace tarn::wizard
