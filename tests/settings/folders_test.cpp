// Folder routines: special folders, creation of missing parents, network paths, the grant.
#include "settings/folders.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace tessaly {
namespace {

using testing::MemoryFileSystem;

struct FoldersTest : ::testing::Test {
  bool ensure(const std::string& path, bool grant, WindowsVersion v = {6, 1}) {
    return EnsureFolderExists({files, messages, product, v}, path, grant);
  }
  MemoryFileSystem files;
  sim::RecordingMessageBox messages;
  std::string product = "Tessaly";
};

// Each missing parent is made in turn; a network path starts below its share.
TEST_F(FoldersTest, creates_each_missing_parent) {
  std::string long_path = "C:";
  while (long_path.size() < 300) long_path += "\\" + std::string(20, 'd');
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"  C:\\A\\B\\C  ", {"C:\\A", "C:\\A\\B", "C:\\A\\B\\C"}},
      {"\\\\srv\\share\\data\\", {"\\\\srv\\share\\data"}},
      {long_path, {}},
  };
  for (const auto& [path, created] : cases) {
    files.created.clear();
    EXPECT_TRUE(ensure(path, false)) << path;
    if (path == long_path) EXPECT_EQ(files.created.size(), 15u);
    else EXPECT_EQ(files.created, created);
  }
  EXPECT_TRUE(FolderExists(files, "C:\\A\\B\\C\\"));
  EXPECT_TRUE(FolderExists(files, long_path));
  EXPECT_FALSE(FileExists(files, "C:\\A\\B\\C"));
  EXPECT_TRUE(files.granted.empty());
}

TEST_F(FoldersTest, grant_only_for_a_created_folder_on_xp_and_later) {
  struct Case {
    WindowsVersion v;
    bool granted;
  } cases[] = {{{5, 0}, false}, {{5, 1}, true}, {{6, 0}, true}, {{10, 0}, true}, {{0, 0}, false}};
  for (const auto& c : cases) {
    files.granted.clear();
    std::string path = "C:\\G" + std::to_string(c.v.major) + std::to_string(c.v.minor) + "\\";
    EXPECT_TRUE(ensure(path, true, c.v));
    EXPECT_EQ(!files.granted.empty(), c.granted) << c.v.major << "." << c.v.minor;
    files.granted.clear();
    EXPECT_TRUE(ensure(path, true, c.v));
    EXPECT_TRUE(files.granted.empty()) << "an existing folder keeps its rights";
  }
  files.fail_grant = true;  // a failing grant is silent
  EXPECT_TRUE(ensure("C:\\Shared\\", true));
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(FoldersTest, failing_creation_reports_the_prefix) {
  files.fail_create.insert("C:\\A\\B");
  EXPECT_FALSE(ensure("C:\\A\\B\\C", false));
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0],
            (MessageRequest{"Cannot create the following folder: \r\n\r\nC:\\A\\B\\\r\n\r\nError message: Access is denied.",
                            "Tessaly", MsgIcon::Critical, MsgButtons::OK}));
  EXPECT_FALSE(FolderExists(files, "C:\\A\\B\\C"));
}

}  // namespace
}  // namespace tessaly
