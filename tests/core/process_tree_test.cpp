#include "core/process_tree.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

std::vector<ProcessEntry> Processes() {
    return {{0, 0, "[System Process]"}, {40, 4, "winlogon.exe"},     {100, 40, "Explorer.EXE"},
            {200, 100, "vantaro Tools.exe"}, {300, 200, "cmd.exe"}, {310, 300, "vantaro-local.exe"}};
}

TEST(ProcessTree, ParentOfTheFirstMatchingName) {
    const auto processes = Processes();
    EXPECT_EQ(ParentProcessIdOf(processes, "vantaro tools.exe", 0), 100u);
    EXPECT_EQ(ParentProcessIdOf(processes, "vantaro tools.exe", 1), 0u) << "exact case finds no lower-case name";
    EXPECT_EQ(ParentProcessIdOf(processes, "vantaro Tools.exe", 1), 100u);
    EXPECT_EQ(ParentProcessIdOf(processes, "absent.exe", 0), 0u);
}

TEST(ProcessTree, StartedFromShellWhenAnyExplorerIsTheParent) {
    struct Case {
        const char* what;
        std::vector<ProcessEntry> processes;
        bool expected;
    };
    const Case cases[] = {
        {"explorer under another letter case is the parent", Processes(), true},
        {"started from a command prompt",
         {{100, 4, "explorer.exe"}, {150, 100, "cmd.exe"}, {200, 150, "vantaro Tools.exe"}}, false},
        {"the second explorer is the parent",
         {{90, 4, "explorer.exe"}, {100, 4, "EXPLORER.exe"}, {200, 100, "vantaro Tools.exe"}}, true},
        {"no explorer at all", {{200, 150, "vantaro Tools.exe"}}, false},
        {"empty list", {}, false},
    };
    for (const Case& c : cases) {
        int snapshots = 0;
        const ProcessSnapshot snapshot = [&] {
            ++snapshots;
            return c.processes;
        };
        EXPECT_EQ(StartedFromShell(snapshot, "vantaro Tools.exe", 0), c.expected) << c.what;
    }
}

TEST(ProcessTree, LowerCasingStepsOverGbkTrailBytes) {
    // 0x81 0x41 is one double-byte character whose trail byte is an 'A': it must stay as it is.
    EXPECT_EQ(LowerAsciiGbk("AB\x81\x41.EXE"), "ab\x81\x41.exe");
    EXPECT_FALSE(ExeNamesEqual("\x81\x41.exe", "\x81\x61.exe", 0));
    EXPECT_TRUE(ExeNamesEqual("VANTARO-LOCAL.EXE", "vantaro-local.exe", 0));
}

}  // namespace
}  // namespace vantaro
