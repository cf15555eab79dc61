// The folder list and the drive box of the directory dialog start where the program is.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "tests/support/test_machine.h"
#include "ui/headless/headless_backend.h"
#include "ui/ui.h"

namespace tovin::ui::test {
namespace {

class DirectoryList : public tovin::test::MachineTest {};

TEST_F(DirectoryList, StartsInTheCurrentFolderWithItsDriveChosen) {
  ASSERT_TRUE(plat::CreateDirectory(Path("setup")));
  ASSERT_TRUE(plat::CreateDirectory(Path("setup\\disk1")));
  ASSERT_TRUE(plat::SetCurrentDirectory(Path("setup")));
  THeadlessBackend backend;
  TApplication app(backend);
  TForm form(app, "Form3");
  TDirectoryListBox list(form, "list");
  TDriveComboBox drives(form, "drives");
  EXPECT_EQ(list.Directory(), Path("setup"));
  ASSERT_FALSE(list.Items().empty());
  EXPECT_EQ(list.Items().back(), std::string(list.Items().size() - 1, ' ') + "disk1") << "its sub-folders listed";
  ASSERT_GE(drives.ItemIndex(), 0);
  EXPECT_EQ(drives.Items()[static_cast<size_t>(drives.ItemIndex())], Path("").substr(0, 2));
}

}  // namespace
}  // namespace tovin::ui::test
