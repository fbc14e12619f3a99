// The built stub carries its PE header at offset 256 with bytes 248..255
// free for the builder (the post-link step of the build does this).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include <windows.h>

#include "harness/harness.h"
#include "package/packx.h"
#include "util/exe_version.h"

namespace {

uint32_t Get32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

TEST(StubImage, PeHeaderAt256AndBuilderWordsClear) {
    std::string image;
    ASSERT_TRUE(kv::test::ReadWholeFile(kv::test::StubPath(), image)) << kv::test::StubPath();
    ASSERT_GT(image.size(), 512u);
    EXPECT_EQ(image.substr(0, 2), "MZ");
    EXPECT_EQ(Get32(image, 60), 256u);
    EXPECT_EQ(image.substr(256, 4), std::string("PE\0\0", 4));
    EXPECT_EQ(Get32(image, 248), 0u);
    EXPECT_EQ(Get32(image, 252), 0u);
}

TEST(StubImage, IsA32BitGuiProgramThePackageReaderAccepts) {
    std::string image;
    ASSERT_TRUE(kv::test::ReadWholeFile(kv::test::StubPath(), image));
    EXPECT_TRUE(kv::IsPeFile(kv::test::StubPath()));
    const size_t fileHeader = 256 + 4;
    EXPECT_EQ(uint8_t(image[fileHeader]) | uint8_t(image[fileHeader + 1]) << 8, IMAGE_FILE_MACHINE_I386);
    const size_t optional = fileHeader + 20;
    EXPECT_EQ(uint8_t(image[optional]) | uint8_t(image[optional + 1]) << 8, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_EQ(uint8_t(image[optional + 68]), IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

TEST(StubImage, CarriesManifestIconAndVersion) {
    HMODULE m = LoadLibraryExA(kv::test::StubPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m, nullptr);
    HRSRC manifest = FindResourceA(m, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_NE(manifest, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(m, manifest)));
    const std::string xml(text, SizeofResource(m, manifest));
    EXPECT_NE(xml.find("requireAdministrator"), std::string::npos);
    EXPECT_NE(xml.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(xml.find("{e2011457-1546-43c5-a5fe-008deee3d3f0}"), std::string::npos);  // Vista
    EXPECT_NE(xml.find("{1f676c76-80e1-4239-95bb-83d0f6d0da78}"), std::string::npos);  // 8.1
    EXPECT_NE(FindResourceA(m, "MAINICON", MAKEINTRESOURCEA(14)), nullptr);             // RT_GROUP_ICON
    FreeLibrary(m);
    EXPECT_EQ(kv::GetExeVersion(kv::test::StubPath()), "1.0.0.1");
}

}  // namespace
