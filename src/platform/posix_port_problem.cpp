// Finding out why a serial device cannot be opened: the errno of the open,
// the device's group, and who holds it, from /proc.

#include "platform/posix_port_problem.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace harvelin {

namespace {

namespace fs = std::filesystem;

std::string firstLineOf(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

bool isNumber(const std::string& name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Whether the user is listed in the group database as a member of `gid`
// while this process does not carry it: the group was given after login.
bool memberSinceLastLogin(gid_t gid)
{
    const passwd* pw = ::getpwuid(::getuid());
    const group* gr = ::getgrgid(gid);
    if (!pw || !gr)
        return false;
    bool listed = pw->pw_gid == gid;
    for (char** m = gr->gr_mem; !listed && m && *m; ++m)
        listed = pw->pw_name && std::string(*m) == pw->pw_name;
    if (!listed)
        return false;
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> have(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0 && ::getgroups(count, have.data()) < 0)
        return false;
    return ::getegid() != gid && std::find(have.begin(), have.end(), gid) == have.end();
}

}  // namespace

std::vector<std::string> programsHolding(const std::string& device)
{
    std::vector<std::string> holders;
    std::error_code ec;
    const fs::path target = fs::canonical(device, ec);
    struct stat st {};
    if (ec || ::stat(target.c_str(), &st) != 0)
        return holders;
    const auto named = [](const std::string& pid) {
        return firstLineOf(fs::path("/proc") / pid / "comm") + " (PID " + pid + ")";
    };

    // The lock that makes a port busy names its holder, also among several
    // programs that have the device open (a pseudo-terminal's own pager,
    // say): "1: FLOCK  ADVISORY  WRITE 4711 00:1a:3 0 EOF".
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream words(line);
        std::vector<std::string> w{std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
        if (w.size() < 6 || w[1] == "->")
            continue;
        unsigned lockMajor = 0;
        unsigned lockMinor = 0;
        unsigned long inode = 0;
        const bool parsed = std::sscanf(w[5].c_str(), "%x:%x:%lu", &lockMajor, &lockMinor, &inode) == 3;
        if (parsed && lockMajor == major(st.st_dev) && lockMinor == minor(st.st_dev) && inode == st.st_ino &&
            isNumber(w[4]))
            return {named(w[4])};
    }

    // Otherwise everyone who has it open, as far as this user may look.
    for (const auto& proc : fs::directory_iterator("/proc", ec)) {
        const std::string pid = proc.path().filename().string();
        if (!isNumber(pid))
            continue;
        std::error_code fdEc;
        for (const auto& fd : fs::directory_iterator(proc.path() / "fd", fdEc)) {
            std::error_code linkEc;
            if (fs::read_symlink(fd.path(), linkEc) == target && !linkEc) {
                holders.push_back(named(pid));
                break;
            }
        }
    }
    return holders;
}

std::vector<std::string> runningAdapterGrabbers()
{
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& proc : fs::directory_iterator("/proc", ec)) {
        if (!isNumber(proc.path().filename().string()))
            continue;
        const std::string name = firstLineOf(proc.path() / "comm");
        if ((name == "ModemManager" || name == "brltty") &&
            std::find(found.begin(), found.end(), name) == found.end())
            found.push_back(name);
    }
    return found;
}

PortProblem diagnoseOpenFailure(const std::string& device, int error)
{
    PortProblem p;
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        p.fault = PortFault::NoDevice;
        break;
    case EACCES:
    case EPERM: {
        p.fault = PortFault::PermissionDenied;
        // Joining the group helps only where the group may read and write,
        // and nobody should join root's group for a serial port.
        struct stat st {};
        const mode_t groupRw = S_IRGRP | S_IWGRP;
        if (::stat(device.c_str(), &st) == 0 && (st.st_mode & groupRw) == groupRw && st.st_gid != 0) {
            if (const group* gr = ::getgrgid(st.st_gid))
                p.group = gr->gr_name;
            p.memberAfterNextLogin = memberSinceLastLogin(st.st_gid);
        }
        break;
    }
    case EBUSY:
    case EWOULDBLOCK: {
        p.fault = PortFault::Busy;
        for (const std::string& h : programsHolding(device))
            p.holder += (p.holder.empty() ? "" : ", ") + h;
        break;
    }
    case ENOTTY:
    case EISDIR:
        p.fault = PortFault::NotSerial;
        break;
    default:
        break;
    }
    if (p.fault == PortFault::NoDevice || p.fault == PortFault::Busy)
        p.adapterGrabbers = runningAdapterGrabbers();
    return p;
}

}  // namespace harvelin
