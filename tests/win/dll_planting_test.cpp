// DLL planting: a setup is usually started from a downloads folder, where
// anything named like a system library may lie beside it. Wine prefers its
// own libraries; the load order "native,builtin" makes it look beside the
// program first, as Windows does for libraries that are not known DLLs.
// Each test sets it for its own copy of the program only (Wine's
// per-program settings: a WINEDLLOVERRIDES set in this process's Windows
// environment does not reach Wine's loader in the child). plant.dll,
// copied under those names, leaves "<name>.loaded" beside itself when any
// process loads it.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "kvpack/kvpack.h"
#include "sysprobe_util.h"
#include "util/text_utils.h"

namespace {

using namespace kv::test;

// Libraries the stub loads at run time or that the system's own code loads
// for it, and other classic planting targets. version.dll is left out
// here: Wine's own user32 imports it, so under "n,b" every program that
// uses user32 loads a planted version.dll before its first instruction (on
// Windows user32 is a known DLL whose imports come from the system
// folder), and calls into it. VersionTooComesFromTheSystemFolder covers
// the stub's own load. comctl32.dll is not here either: the manifest's
// dependency on the common controls 6 makes every load of that name come
// from the system's side-by-side store.
const std::vector<std::string> kPlantedNames = {
    "wininet.dll", "psapi.dll", "riched32.dll", "riched20.dll", "usp10.dll", "msls31.dll",
    "shfolder.dll", "uxtheme.dll", "urlmon.dll", "dwmapi.dll",
};

std::string Join(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += n + " ";
    return out;
}

// Copies `program` to `folderExe` (unless it is already there) and makes
// Wine load each of `names` beside it first; the settings go with the
// returned owner.
std::unique_ptr<WineAppDefaults> NativeFirst(const std::string& program, const std::string& folderExe,
                                             const std::vector<std::string>& names) {
    if (program != folderExe && !CopyFileTo(program, folderExe)) return nullptr;
    auto settings = std::make_unique<WineAppDefaults>(folderExe.substr(folderExe.rfind('\\') + 1));
    for (const std::string& n : names)
        if (!settings->SetDllOverride(n.substr(0, n.size() - 4), "native,builtin")) return nullptr;
    return settings;
}

class Planted : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.Valid());
        for (const std::string& name : kPlantedNames) ASSERT_TRUE(CopyFileTo(PlantDllPath(), dir.File(name))) << name;
    }
    void Plant(const std::string& name) { ASSERT_TRUE(CopyFileTo(PlantDllPath(), dir.File(name))); }
    std::vector<std::string> Markers(const std::vector<std::string>& names) const {
        std::vector<std::string> found;
        for (const std::string& name : names)
            if (FileExists(dir.File(name + ".loaded"))) found.push_back(name);
        return found;
    }
    void ClearMarkers(const std::vector<std::string>& names) {
        for (const std::string& name : names) DeleteFileA(dir.File(name + ".loaded").c_str());
    }

    TempDir dir;
};

// The control: a bare-name load from this folder does pick up every plant,
// so the absence of markers below means something.
TEST_F(Planted, BareNameLoadsPickUpThePlants) {
    const auto settings = NativeFirst(SysProbePath(), dir.File("kv_plant_control.exe"), kPlantedNames);
    ASSERT_TRUE(settings);
    std::string commands;
    for (const std::string& name : kPlantedNames) commands += " bare " + name;
    auto r = RunProbe(dir.File("kv_plant_control.exe"), dir.File("r.txt"), commands);
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(Markers(kPlantedNames), kPlantedNames);
}

TEST_F(Planted, RestrictedSearchAndSystemLoadsIgnoreThePlants) {
    const auto settings = NativeFirst(SysProbePath(), dir.File("kv_plant_restricted.exe"), kPlantedNames);
    ASSERT_TRUE(settings);
    std::string commands = " restrict";
    for (const std::string& name : kPlantedNames) commands += " bare " + name + " system " + name;
    commands += " startup proc shfolder.dll SHGetFolderPathA";
    auto r = RunProbe(dir.File("kv_plant_restricted.exe"), dir.File("r.txt"), commands);
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(r["restricted"], "1");
    EXPECT_EQ(r["startup"], "1");
    EXPECT_EQ(r["proc.shfolder.dll.SHGetFolderPathA"], "1");
    for (const std::string& name : kPlantedNames) {
        EXPECT_EQ(r["bare." + name], "1") << name;  // found in the system folder instead
        const std::string loaded = r["system." + name];
        EXPECT_TRUE(kv::StartsWith("C:\\windows\\system32\\", loaded, true)) << name << ": " << loaded;
    }
    EXPECT_EQ(Join(Markers(kPlantedNames)), "");
}

TEST_F(Planted, VersionTooComesFromTheSystemFolder) {
    // Wine's user32 has already loaded the plant (see above); a load by the
    // system path must still give the system's library.
    Plant("version.dll");
    const auto settings = NativeFirst(SysProbePath(), dir.File("kv_plant_version.exe"), {"version.dll"});
    ASSERT_TRUE(settings);
    auto r = RunProbe(dir.File("kv_plant_version.exe"), dir.File("r.txt"), "restrict system version.dll");
    ASSERT_FALSE(r.empty());
    EXPECT_TRUE(kv::StartsWith("C:\\windows\\system32\\", r["system.version.dll"], true)) << r["system.version.dll"];
    EXPECT_EQ(r["kernel32Product"].empty(), false);  // read through the system's version.dll
}

TEST_F(Planted, StubRunningASetupLoadsNoneOfThem) {
    const std::string input = dir.File("readme.txt");
    ASSERT_TRUE(WriteWholeFile(input, "planting test\r\n"));
    kv::pack::PackageSpec spec;
    spec.stubPath = StubPath();
    spec.outputPath = dir.File("kv_plant_setup.exe");
    spec.inputs.push_back({input, ""});
    std::string error;
    ASSERT_TRUE(kv::pack::BuildPackage(spec, error)) << error;
    const auto settings = NativeFirst(spec.outputPath, spec.outputPath, kPlantedNames);
    ASSERT_TRUE(settings);

    ChildProcess stub;
    // Started from its own folder, as a double-click in a downloads folder does.
    ASSERT_TRUE(stub.Start(QuoteArg(spec.outputPath), dir.Path()));
    ASSERT_TRUE(stub.Wait(kProbeRunMs));
    EXPECT_EQ(Join(Markers(kPlantedNames)), "") << "loaded from beside the stub";
}

}  // namespace
