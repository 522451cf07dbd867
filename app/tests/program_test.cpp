#include "app/program.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace nivora {
namespace {

TEST(Program, StartsWithTheMainWindowAndEndsThroughEnd)
{
    const auto folder = std::filesystem::temp_directory_path() / "nivora-program-test";
    std::filesystem::create_directories(folder);
    Program program(folder);
    int exits = 0;
    program.ui.setExit([&](int) { ++exits; });
    program.start();
    EXPECT_TRUE(program.ui.mainForm().visible());
    EXPECT_EQ(program.ui.mainForm().name(), "MAINFORM");
    EXPECT_EQ(program.chartBitmap.width(), 600);
    EXPECT_EQ(program.chartBitmap.height(), 360);
    EXPECT_EQ(program.chartOptions.projectionKind, 1);
    program.ui.userMenu("ending");
    EXPECT_EQ(exits, 1);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace nivora
