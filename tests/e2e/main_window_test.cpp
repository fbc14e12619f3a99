// The real stub's main window: a setup creates its hidden window of the
// class named after its own path (an agent package: after its file name),
// with the caption and layout its language table gives, and ends after
// the first tick while the setup flow and the agent are not built.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "harness/harness.h"
#include "harness/ui_automation.h"
#include "kvpack/kvpack.h"

namespace kv::test {
namespace {

constexpr unsigned kWindowDeadlineMs = 30000;
constexpr unsigned kRunMs = 60000;

std::vector<HWND> ChildrenInOrder(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// A child's top left in its parent's client area.
POINT ClientOrigin(HWND child) {
    const WindowFacts facts = ReadWindowFacts(child);
    POINT p{facts.window.left, facts.window.top};
    ScreenToClient(GetParent(child), &p);
    return p;
}

struct WindowCase {
    const char* what;
    const char* ini;  // the language INI; none when empty
    const char* caption;
    int statusX;
    int activityX;
    bool agent = false;  // an agent package under a name of its own
};

TEST(MainWindowE2E, StubShowsItsCaptionAndLayoutThenEndsOnTheFirstTick) {
    const WindowCase cases[] = {
        {"no language table", "", "Kavrix Installation Suite", 70, 416},
        {"one record", "[English]\ns0=Acme Writer 3 Setup\n", "Acme Writer 3 Setup", 70, 416},
        {"Hebrew", "[Hebrew]\ns0=Acme Writer Hebrew\nCharset=177\n", "Acme Writer Hebrew", 122, 70},
        {"agent package", "[Arabic]\ns0=Acme Agent\nCharset=178\n", "Acme Agent", 122, 70, true},
    };
    for (const WindowCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        ASSERT_TRUE(dir.Valid());
        ASSERT_TRUE(WriteWholeFile(dir.File("readme.txt"), "sample product file\r\n"));
        pack::PackageSpec spec;
        spec.stubPath = StubPath();
        spec.outputPath = dir.File("setup.exe");
        if (c.agent) {
            spec.isAutoUpdateProgram = 1;
            spec.update.agentExeName = "Agent.exe";
        }
        // An agent package's class is named after the file, else the path.
        const std::string className = c.agent ? ".AutoUpdate.setup" : spec.outputPath;
        spec.inputs.push_back({dir.File("readme.txt"), ""});
        if (*c.ini != '\0') {
            ASSERT_TRUE(WriteWholeFile(dir.File("lang.ini"), c.ini));
            spec.languageIni = dir.File("lang.ini");
        }
        std::string error;
        ASSERT_TRUE(pack::BuildPackage(spec, error)) << error;

        ChildProcess stub;
        ASSERT_TRUE(stub.Start(QuoteArg(spec.outputPath), dir.Path()));
        // The window lives from its creation to the first tick, a second
        // later; its children are made while it is being created.
        const HWND window = WaitForTopLevelWindow(className, kWindowDeadlineMs, stub.Pid());
        ASSERT_NE(window, nullptr) << "no window of the class " << className;
        ASSERT_TRUE(WaitUntil(kWindowDeadlineMs, [&] { return ChildrenInOrder(window).size() == 3; }));

        const WindowFacts facts = ReadWindowFacts(window);
        EXPECT_EQ(ControlText(window), c.caption);
        EXPECT_EQ(Width(facts.window), 492);
        EXPECT_EQ(Height(facts.window), 110);
        EXPECT_FALSE(facts.visible);
        const std::vector<HWND> children = ChildrenInOrder(window);
        const char* const classes[] = {"Static", "msctls_progress32", "msctls_progress32"};
        const POINT origins[] = {{c.statusX, 20}, {70, 38}, {c.activityX, 20}};
        for (size_t i = 0; i < children.size(); ++i) {
            EXPECT_EQ(ClassNameOf(children[i]), classes[i]) << i;
            const POINT at = ClientOrigin(children[i]);
            EXPECT_EQ(at.x, origins[i].x) << i;
            EXPECT_EQ(at.y, origins[i].y) << i;
        }

        ASSERT_TRUE(stub.Wait(kRunMs)) << "the first tick did not end the setup";
        uint32_t code = 1;
        ASSERT_TRUE(stub.ExitCode(code));
        EXPECT_EQ(code, 0u);
    }
}

}  // namespace
}  // namespace kv::test
