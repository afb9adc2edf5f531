// What the module tells Windows about itself: its version, as version.h holds it, and its
// manifest.
#include "module_resources.h"
#include "test_support.h"
#include "version.h"  // made by CMake in the build folder

#include <gtest/gtest.h>

#include <string>

TEST(AppResources, VersionBlockHoldsTheVersionHeadersNumbers)
{
    VS_FIXEDFILEINFO fixed = {};
    ASSERT_TRUE(ModuleVersion(nullptr, &fixed)) << "no version block";
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(PELMAR_VERSION_MINOR, PELMAR_VERSION_MAJOR)), fixed.dwFileVersionMS);
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(PELMAR_VERSION_BUILD, PELMAR_VERSION_PATCH)), fixed.dwFileVersionLS);
    EXPECT_EQ(fixed.dwFileVersionMS, fixed.dwProductVersionMS);
    EXPECT_EQ(fixed.dwFileVersionLS, fixed.dwProductVersionLS);
    // The text is the same four numbers.
    const std::string numbers = std::to_string(PELMAR_VERSION_MAJOR) + "." + std::to_string(PELMAR_VERSION_MINOR) + "."
                                + std::to_string(PELMAR_VERSION_PATCH) + "." + std::to_string(PELMAR_VERSION_BUILD);
    EXPECT_EQ(numbers, PELMAR_VERSION_TEXT);
}

TEST(AppResources, ManifestAsksForCommonControlsSixAsInvoker)
{
    DWORD size = 0;
    const BYTE *text = ResourceBytes(nullptr, 1, 24, &size);
    ASSERT_NE(nullptr, text);
    const std::string xml(reinterpret_cast<const char *>(text), size);
    for (const char *wanted : { "Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "level=\"asInvoker\"",
                                "uiAccess=\"false\"" })
        EXPECT_NE(std::string::npos, xml.find(wanted)) << wanted;
    // Windows refuses to start a program whose manifest names another processor.
    const std::string own = std::string("version=\"" PELMAR_VERSION_TEXT "\" processorArchitecture=\"")
                            + (sizeof(void *) == 4 ? "x86" : "amd64") + "\"";
    EXPECT_NE(std::string::npos, xml.find(own)) << xml;
}
