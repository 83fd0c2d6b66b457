// The volume contract: the state and label of drives, formatting that can't
// wait for a missing formatter, and writing paths as environment variables.
#include <gtest/gtest.h>

#include <algorithm>

#include "contract/backend.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/unexpand_path.h"

namespace tarn::contract {
namespace {

class VolumesContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeContractBackend();
    files_ = backend_->platform().files;
    scratch_ = backend_->ScratchFolder();
  }

  // A drive letter's root that names no volume.
  Text MissingRoot() {
    const auto drives = files_->LogicalDrives();
    for (char16_t letter = u'Q'; letter <= u'Y'; ++letter) {
      const Text root = Text(1, letter) + u":\\";
      const bool taken = std::any_of(drives.begin(), drives.end(), [&](const Text& drive) {
        return EqualsIgnoreCase(drive, root);
      });
      if (!taken) return root;
    }
    return {};
  }

  std::unique_ptr<ContractBackend> backend_;
  platform::FileSystem* files_ = nullptr;
  Text scratch_;
};

TEST_F(VolumesContract, DriveOfAFolderIsReadyAndHasALabel) {
  const Text root = scratch_.substr(0, 3);
  EXPECT_EQ(files_->VolumeState(root), kErrorSuccess) << ToUtf8(root);
  auto label = files_->VolumeLabel(root);
  EXPECT_TRUE(label) << label.error();
}

TEST_F(VolumesContract, LetterWithoutVolumeIsMissing) {
  const Text root = MissingRoot();
  ASSERT_FALSE(root.empty());
  EXPECT_EQ(files_->VolumeState(root), kErrorPathNotFound) << ToUtf8(root);
  EXPECT_FALSE(files_->VolumeLabel(root));
}

TEST_F(VolumesContract, FormattingAMissingDriveFailsWithoutWaiting) {
  const Text root = MissingRoot();
  ASSERT_FALSE(root.empty());
  const WinError error = files_->FormatVolume({root, u"NTFS", u""}, {});
  EXPECT_NE(error, kErrorSuccess);
}

TEST_F(VolumesContract, PathUnderAVariablesFolderIsWrittenWithIt) {
  platform::Environment& environment = *backend_->platform().environment;
  const auto saved = environment.Get(u"APPDATA");
  ASSERT_EQ(environment.Set(u"APPDATA", TextView(scratch_)), kErrorSuccess);
  const auto inside = platform::UnExpandPath(environment, scratch_ + u"\\Tarn\\a.txt", 260);
  const auto longer = platform::UnExpandPath(environment, scratch_ + u"x\\a.txt", 260);
  const auto tooLong = platform::UnExpandPath(environment, scratch_ + u"\\Tarn", 10);
  ASSERT_EQ(environment.Set(u"APPDATA", saved ? std::optional<TextView>(*saved) : std::nullopt),
            kErrorSuccess);
  EXPECT_EQ(ToUtf8(inside.value_or(u"-")), "%APPDATA%\\Tarn\\a.txt");
  EXPECT_TRUE(!longer || !longer->starts_with(u"%APPDATA%")) << ToUtf8(*longer);
  EXPECT_FALSE(tooLong);
}

}  // namespace
}  // namespace tarn::contract
