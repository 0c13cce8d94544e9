#pragma once

// Programs run for the tests over pseudo-terminals: harvelin-cli as a user
// runs it, and zelvatron-sim, each pager on a pseudo-terminal of its own.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "test_files.h"

extern char** environ;

namespace harvelin {

// The environment the programs get: this process's, with the settings of
// language and numbers replaced by LANG=en_US.UTF-8, so that the machine's
// own settings change neither the language of harvelin-cli nor the decimal
// separator its CSV files take.
inline std::vector<char*> programEnvironment()
{
    static std::vector<std::string> kept = [] {
        std::vector<std::string> variables;
        for (char** v = environ; *v; ++v) {
            const std::string variable = *v;
            const std::string name = variable.substr(0, variable.find('='));
            if (name != "LANGUAGE" && name != "LANG" && !name.starts_with("LC_"))
                variables.push_back(variable);
        }
        variables.push_back("LANG=en_US.UTF-8");
        return variables;
    }();
    std::vector<char*> pointers;
    for (std::string& variable : kept)
        pointers.push_back(variable.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Starts a program with stdout and stderr into files; its process id, or -1.
inline pid_t startProgram(const std::vector<std::string>& args, const std::filesystem::path& outFile,
                   const std::filesystem::path& errFile)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    std::vector<char*> environment = programEnvironment();
    const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environment.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

// The exit status of a started program, or -1 when it did not end normally.
inline int exitStatus(pid_t pid)
{
    int status = 0;
    if (pid <= 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Whether `file` comes to hold `text` `count` times within `timeoutMs`.
inline bool waitForText(const std::filesystem::path& file, const std::string& text, std::size_t count, int timeoutMs)
{
    auto seen = [&] {
        const std::string now = readBytes(file);
        std::size_t found = 0;
        for (std::size_t at = now.find(text); at != std::string::npos; at = now.find(text, at + 1))
            ++found;
        return found >= count;
    };
    for (int waited = 0; waited < timeoutMs && !seen(); waited += 100)
        ::usleep(100 * 1000);
    return seen();
}

// With a signal, the program gets it after `signalAfterMs`.
inline int runProgram(const std::vector<std::string>& args, const std::filesystem::path& outFile,
               const std::filesystem::path& errFile, int signal = 0, int signalAfterMs = 0)
{
    const pid_t pid = startProgram(args, outFile, errFile);
    if (pid > 0 && signal != 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(signalAfterMs));
        ::kill(pid, signal);
    }
    return exitStatus(pid);
}

// A fresh folder for a test that runs harvelin-cli, which keeps its backups
// in the folder's "data", not in the user's data folder; empty when none
// could be made.
inline std::filesystem::path cliScratchFolder(const char* prefix)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr)
        return {};
    const std::filesystem::path dir = pattern;
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    return dir;
}

// The whole lines of a program's output, without their newlines.
inline std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

#ifdef ZELVATRON_SIM_PATH
// zelvatron-sim on a pseudo-terminal, told what to do on its standard input.
struct SimulatedPagerProcess {
    SimulatedPagerProcess() = default;
    SimulatedPagerProcess(const SimulatedPagerProcess&) = delete;
    SimulatedPagerProcess& operator=(const SimulatedPagerProcess&) = delete;
    ~SimulatedPagerProcess() { end(); }

    // Starts it with `args`, the device reached through the symbolic link
    // `link`, which keeps its name when the pager is unplugged and plugged
    // again. `device` stays empty when it found no pseudo-terminal.
    void start(const std::filesystem::path& link, const std::vector<std::string>& args = {})
    {
        int toSim[2];
        int fromSim[2];
        if (::pipe(toSim) != 0 || ::pipe(fromSim) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, toSim[0], 0);
        posix_spawn_file_actions_adddup2(&actions, fromSim[1], 1);
        posix_spawn_file_actions_addclose(&actions, toSim[1]);
        posix_spawn_file_actions_addclose(&actions, fromSim[0]);
        std::vector<std::string> all = {ZELVATRON_SIM_PATH, "--link", link.string()};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(toSim[0]);
        ::close(fromSim[1]);
        input = toSim[1];
        // It prints the device to open as its first line.
        std::string line;
        char c = 0;
        while (rc == 0 && ::read(fromSim[0], &c, 1) == 1 && c != '\n')
            line += c;
        ::close(fromSim[0]);
        if (rc != 0)
            pid = -1;
        device = line;
    }

    // A command line for the simulator (see zelvatron-sim); it is read at
    // once, so a short pause lets it take effect before the tool goes on.
    // False when it could not be sent.
    bool command(const std::string& text) const
    {
        const std::string line = text + "\n";
        const bool sent = ::write(input, line.data(), line.size()) == static_cast<ssize_t>(line.size());
        ::usleep(300 * 1000);
        return sent;
    }

    void end()
    {
        if (input >= 0)
            ::close(input);
        input = -1;
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            int status = 0;
            ::waitpid(pid, &status, 0);
        }
        pid = -1;
    }

    pid_t pid = -1;
    int input = -1;
    std::string device;
};
#endif

}  // namespace harvelin
