// The run log of an agent package names the stub's own file version.
#include <gtest/gtest.h>

#include <string>

#include "harness/harness.h"
#include "kvpack/kvpack.h"
#include "sysprobe_util.h"

namespace {

using namespace kv::test;

TEST(RunLog, AgentVersionLineCarriesTheFileVersion) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string input = dir.File("readme.txt");
    ASSERT_TRUE(WriteWholeFile(input, "agent\r\n"));
    kv::pack::PackageSpec spec;
    spec.stubPath = StubPath();
    spec.outputPath = dir.File("Agent.exe");
    spec.inputs.push_back({input, ""});
    spec.isAutoUpdateProgram = 1;
    spec.agentLog = true;
    std::string error;
    ASSERT_TRUE(kv::pack::BuildPackage(spec, error)) << error;

    uint32_t code = 99;
    ASSERT_TRUE(RunProcess(QuoteArg(dir.File("Agent.exe")), dir.Path(), kProbeRunMs, code));
    const std::string log = ReadWholeFile(dir.File("X_Agent.log"));
    ASSERT_FALSE(log.empty());
    // The stub's version resource says 1.0.0.1.
    EXPECT_NE(log.find("Agent Version=1.0.0.1\r\n"), std::string::npos) << log;
}

}  // namespace
