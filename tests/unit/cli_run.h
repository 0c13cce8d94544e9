#pragma once

#include <string>
#include <vector>

#include "cli/cli.h"

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

}  // namespace harvelin
