#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "pager_line.h"
#include "test_files.h"

namespace harvelin {

// Runs harvelin-cli in process with these arguments (the program name is put
// in front) on `env`.
inline int runCliWith(std::vector<std::string> args, CliEnvironment& env)
{
    args.insert(args.begin(), "harvelin-cli");
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    return runCli(static_cast<int>(argv.size()), argv.data(), env);
}

// harvelin-cli in process on virtual time, with the simulated pager on
// ttyUSB0, the system's only port, and no backup folder, on a system set to
// English (a test that asserts the German texts sets "de_DE.UTF-8" or passes
// --language de).
struct CliRig : PagerLine {
    CliRig() : PagerLine({}, "ttyUSB0", 1) {}

    int run(std::vector<std::string> args)
    {
        out.str({});
        err.str({});
        return runCliWith(std::move(args), env);
    }
    // A file of that name in the rig's own folder.
    std::string file(const char* name) const { return (dir.path() / name).string(); }

    TempDir dir;
    std::ostringstream out;
    std::ostringstream err;
    CliEnvironment env{backend, clock, [] { return PortTable::fromPaths({"ttyUSB0"}); }, {}, out, err, false, {}, '.',
                       nullptr, false, "en_US.UTF-8"};
};

}  // namespace harvelin
