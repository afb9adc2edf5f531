#include "launcher_process.h"
#include "test_support.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

TEST(StartAndClose, CloseButtonSavesAndEndsWithZero)
{
    TempGameFolder game("e2e-close");
    LauncherProcess pelmar;
    ASSERT_TRUE(pelmar.Start(game.System()));
    EXPECT_EQ("Pelmar", WindowText(pelmar.Main()));
    pelmar.Close();
    EXPECT_EQ(0u, pelmar.WaitForExit());
    EXPECT_TRUE(FileExists(game.System() + "\\Pelmar.ini"));
}
