#include <gtest/gtest.h>

#include <string>

#include "platform/known_folders.h"

namespace {

TEST(KnownFoldersTest, ModuleFileNameIsThePathsLastPart) {
  const std::string path = platform::ModulePath();
  const std::string name = platform::ModuleFileName();
  EXPECT_EQ(0u, name.rfind("platform_tests", 0)) << name;
  ASSERT_GT(path.size(), name.size());
  EXPECT_EQ(name, path.substr(path.size() - name.size()));
  const char separator = path[path.size() - name.size() - 1];
  EXPECT_TRUE(separator == '\\' || separator == '/') << path;
}

}  // namespace
