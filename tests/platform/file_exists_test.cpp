#include <string>

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/temp_folder.h"

namespace pilfern::platform {
namespace {

TEST(FileExists, FindsFilesNamedWithTheGamesBackslashes) {
    const test::TempFolder folder;
    folder.Write("System/GD3D11/UserSettings.ini", "[FontRendering]\nEnable=1\n");
    const std::string root = folder.Path().string();

    EXPECT_TRUE(FileExists(root + "\\System\\GD3D11\\UserSettings.ini"));
    EXPECT_TRUE(FileExists(root + "/System\\GD3D11/UserSettings.ini"));
    EXPECT_FALSE(FileExists(root + "\\System\\GD3D11\\UserSettings.txt"));
    EXPECT_FALSE(FileExists(root + "\\System\\GD3D11")) << "a folder is no file";
}

}  // namespace
}  // namespace pilfern::platform
