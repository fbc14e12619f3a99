// kvpack: builds a setup package from the command line (see --help).
#include <cstdio>
#include <string>
#include <vector>

#include "kvpack/cli.h"
#include "kvpack/kvpack.h"
#include "kvpack/package_info.h"

int main(int argc, char** argv) {
    using namespace kv::pack;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "--info") {
        std::fputs(DescribePackage(args[1]).c_str(), stdout);
        return 0;
    }
    PackageSpec spec;
    std::string error;
    switch (ParseArguments(args, spec, error)) {
        case CliResult::Help:
            std::fputs(HelpText().c_str(), stdout);
            return 0;
        case CliResult::Error:
            std::fprintf(stderr, "kvpack: %s\n", error.c_str());
            return 2;
        case CliResult::Build:
            break;
    }
    std::vector<std::string> written;
    if (!BuildPackage(spec, error, &written)) {
        std::fprintf(stderr, "kvpack: %s\n", error.c_str());
        return 1;
    }
    for (const std::string& path : written) std::printf("%s\n", path.c_str());
    return 0;
}
