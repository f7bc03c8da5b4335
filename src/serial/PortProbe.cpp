#include "serial/PortProbe.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/types.h>
#include <unistd.h>

namespace kelmor {

namespace {

using K = TOpenFailure::TKind;

std::string RealPath(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) != nullptr ? std::string(buffer) : std::string();
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d))
            if (e->d_name[0] != '.') names.emplace_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// "minicom (PID 1234)" for a running process other than this one; empty otherwise.
std::string ProcessText(long pid, const ProbePaths& paths) {
    if (pid <= 0 || pid == static_cast<long>(::getpid())) return {};
    std::ifstream comm(paths.Proc + "/" + std::to_string(pid) + "/comm");
    std::string name;
    if (!comm || !std::getline(comm, name)) return {};
    return name + " (PID " + std::to_string(pid) + ")";
}

// A lock file's owner: the first number in it (the UUCP convention writes it
// padded with blanks, Qt's lock file on a line of its own).
long LockFilePid(const std::string& path) {
    std::ifstream file(path);
    long pid = 0;
    return file >> pid ? pid : 0;
}

// The names serial programs give the lock file of a device: Qt's (the path
// below /dev with "/" as "_") and the UUCP one (the node's own name).
std::vector<std::string> LockNames(const std::string& device) {
    std::vector<std::string> names;
    auto add = [&names](std::string path) {
        if (path.empty()) return;
        if (StartsWith(path, "/dev/")) path.erase(0, 5);
        std::replace(path.begin(), path.end(), '/', '_');
        const std::string name = "LCK.." + path;
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    };
    add(device);
    const std::string real = RealPath(device);
    add(real);
    if (const size_t slash = real.rfind('/'); slash != std::string::npos)
        add(real.substr(slash + 1));
    return names;
}

// The process holding a flock or a lock of a range on the device's inode.
long LockedBy(const struct stat& st, const ProbePaths& paths) {
    std::ifstream locks(paths.Proc + "/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream in(line);
        std::string number, kind, mode, access, pid, where;
        if (!(in >> number >> kind) || kind == "->") continue;
        if (!(in >> mode >> access >> pid >> where)) continue;
        unsigned major = 0, minor = 0;
        unsigned long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%lu", &major, &minor, &inode) != 3) continue;
        if (major == ::major(st.st_dev) && minor == ::minor(st.st_dev) && inode == st.st_ino)
            return std::atol(pid.c_str());
    }
    return 0;
}

std::string LoginName() {
    if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_name != nullptr)
        return pw->pw_name;
    if (const char* user = std::getenv("USER"); user != nullptr) return user;
    return {};
}

// Whether the user is a member of `gid` in the group database, and whether
// this process has that membership already.
void Membership(gid_t gid, const std::string& user, bool& listed, bool& effective) {
    listed = effective = false;
    if (::getegid() == gid) effective = listed = true;
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> groups(static_cast<size_t>(count));
        if (::getgroups(count, groups.data()) == count &&
            std::find(groups.begin(), groups.end(), gid) != groups.end())
            effective = listed = true;
    }
    if (listed) return;
    if (const passwd* pw = ::getpwnam(user.c_str()); pw != nullptr && pw->pw_gid == gid)
        listed = true;
    if (const group* gr = ::getgrgid(gid); gr != nullptr && gr->gr_mem != nullptr)
        for (char** m = gr->gr_mem; *m != nullptr; ++m)
            if (user == *m) listed = true;
}

} // namespace

std::string FollowName(const std::string& device, const ProbePaths& paths) {
    struct stat st {};
    if (::lstat(device.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return device;
    const std::string real = RealPath(device);
    if (!real.empty())
        for (const std::string& name : Entries(paths.ById)) {
            std::string link = paths.ById;
            link.append("/").append(name);
            if (RealPath(link) == real) return link;
        }
    if (StartsWith(real.empty() ? device : real, "/dev/pts/")) return {};
    return device;
}

std::string DeviceHolder(const std::string& device, const ProbePaths& paths) {
    for (const std::string& dir : paths.LockDirs)
        for (const std::string& name : LockNames(device)) {
            std::string lock = dir;
            lock.append("/").append(name);
            std::string holder = ProcessText(LockFilePid(lock), paths);
            if (!holder.empty()) return holder;
        }
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0) return {};
    return ProcessText(LockedBy(st, paths), paths);
}

TOpenFailure DiagnoseOpenFailure(const std::string& device, const std::string& reason,
                                 TOpenFailure::TKind seen, const ProbePaths& paths) {
    TOpenFailure f;
    f.Device = device;
    f.Reason = reason;
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0 || seen == K::Absent) {
        f.Kind = K::Absent;
        if (f.Reason.empty()) f.Reason = "no such device";
        return f;
    }
    if (::access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
        f.Kind = K::NoPermission;
        f.User = LoginName();
        if (const group* gr = ::getgrgid(st.st_gid); gr != nullptr && gr->gr_name != nullptr)
            f.Group = gr->gr_name;
        bool listed = false, effective = false;
        Membership(st.st_gid, f.User, listed, effective);
        f.GroupNeedsNewLogin = listed && !effective;
        return f;
    }
    if (seen == K::NoPermission || seen == K::Busy) {
        f.Kind = K::Busy;
        f.Holder = DeviceHolder(device, paths);
    }
    return f;
}

} // namespace kelmor
