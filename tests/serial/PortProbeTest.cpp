// What the system tells about a device that would not open, and the name
// that finds a replugged adapter again, on folders made to look like /dev,
// /dev/serial/by-id, the lock folders and /proc.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "serial/PortProbe.h"
#include "storage/OsFile.h"
#include "support/NewTempDir.h"
#include "support/PosixOnly.h"

#ifndef _WIN32
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kelmor {
namespace {

namespace fs = std::filesystem;
using K = TOpenFailure::TKind;

class PortProbeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Root = test::NewTempDir("kelmor-probe-");
        ASSERT_FALSE(Root.empty());
        for (const char* d : {"/dev", "/by-id", "/lock"})
            fs::create_directory(Root + d);
        Paths.ById = Root + "/by-id";
        Paths.LockDirs = {Root + "/lock"};
    }
    void TearDown() override {
#ifndef _WIN32
        if (Child > 0) {
            ::kill(Child, SIGKILL);
            ::waitpid(Child, nullptr, 0);
        }
#endif
        std::error_code ec;
        fs::remove_all(PathFromUtf8(Root), ec);
    }
    std::string Touch(const std::string& name) {
        const std::string path = Root + "/dev/" + name;
        std::ofstream(path).put('\n');
        return path;
    }

    std::string Root;
    ProbePaths Paths;
#ifndef _WIN32
    pid_t Child = -1;
#endif
};

TEST_F(PortProbeTest, FollowNameFindsTheAdapterByItsId) {
    KELMOR_POSIX_ONLY("symbolic links and /dev/pts");
#ifndef _WIN32
    const std::string usb = Touch("ttyUSB0");
    const std::string other = Touch("ttyS0");
    const std::string byId = Paths.ById + "/usb-FTDI_FT232R_USB_UART_A1234-if00-port0";
    ASSERT_EQ(::symlink("../dev/ttyUSB0", byId.c_str()), 0);
    const std::string mine = Root + "/ttyBIKE";
    ASSERT_EQ(::symlink(usb.c_str(), mine.c_str()), 0);

    EXPECT_EQ(FollowName(usb, Paths), byId);
    EXPECT_EQ(FollowName(other, Paths), other);
    // A link of the user's (or udev's own) is followed as it stands.
    EXPECT_EQ(FollowName(mine, Paths), mine);
    EXPECT_EQ(FollowName(byId, Paths), byId);
    // A pseudo-terminal's number is handed out anew: no name to follow.
    EXPECT_EQ(FollowName("/dev/pts/4", Paths), "");
    // Not there at all: its own name (it may come).
    EXPECT_EQ(FollowName(Root + "/dev/ttyUSB9", Paths), Root + "/dev/ttyUSB9");
#endif
}

TEST_F(PortProbeTest, AbsentDevices) {
    // Windows' back end tells an absent port from its open error alone.
    KELMOR_POSIX_ONLY("device nodes");
#ifndef _WIN32
    const std::string missing = Root + "/dev/ttyUSB0";
    for (K seen : {K::Unknown, K::Busy, K::Absent}) {
        const TOpenFailure f = DiagnoseOpenFailure(missing, "", seen, Paths);
        EXPECT_EQ(f.Kind, K::Absent);
        EXPECT_EQ(f.Device, missing);
        EXPECT_FALSE(f.Reason.empty());
    }
    // A node with nothing behind it, as the back end saw it.
    const std::string node = Touch("ttyS3");
    EXPECT_EQ(DiagnoseOpenFailure(node, "No such device", K::Absent, Paths).Kind, K::Absent);
    EXPECT_EQ(DiagnoseOpenFailure(node, "Is a directory", K::Unknown, Paths).Kind, K::Unknown);
#endif
}

#ifndef _WIN32
// Runs `body` as a user who is not root (root may open anything), in a child
// process; its exit status is the test's verdict.
template <class F> void AsOrdinaryUser(F body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (nobody == nullptr || ::setgroups(0, nullptr) != 0 ||
                ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
                ::_exit(3);
        }
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 3) << "could not become an ordinary user";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

TEST_F(PortProbeTest, PermissionNamesTheGroupAndTheUser) {
    KELMOR_POSIX_ONLY("users and groups");
#ifndef _WIN32
    const std::string device = Touch("ttyUSB0");
    // A group the user is not in may use the device: root's, to an ordinary
    // user. Without root, the user's own device closed to everyone does.
    const bool root = ::geteuid() == 0;
    ASSERT_EQ(::chmod(device.c_str(), root ? 0660 : 0), 0);
    if (root) {
        ASSERT_EQ(::chown(device.c_str(), 0, 0), 0);
    }
    for (const std::string& dir : {Root, Root + "/dev"})
        ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
    struct stat st {};
    ASSERT_EQ(::stat(device.c_str(), &st), 0);
    const group* owner = ::getgrgid(st.st_gid);
    ASSERT_NE(owner, nullptr);
    const std::string groupName = owner->gr_name;
    AsOrdinaryUser([&] {
        const TOpenFailure f = DiagnoseOpenFailure(device, "Permission denied", K::Busy, Paths);
        const passwd* me = ::getpwuid(::geteuid());
        return f.Kind == K::NoPermission && f.Group == groupName && me != nullptr &&
               f.User == me->pw_name && !f.GroupNeedsNewLogin;
    });
#endif
}

TEST_F(PortProbeTest, BusyNamesTheHolderFromItsLockFileOrItsLock) {
    KELMOR_POSIX_ONLY("lock files, flock and /proc");
#ifndef _WIN32
    // Another program: a child of this test that holds a lock on a terminal.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string terminal = ::ptsname(master);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    Child = ::fork();
    if (Child == 0) {
        const int fd = ::open(terminal.c_str(), O_RDWR | O_NOCTTY);
        const char ok = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 1 : 0;
        [[maybe_unused]] const ssize_t n = ::write(ready[1], &ok, 1);
        ::pause();
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    std::string comm;
    std::getline(std::ifstream("/proc/" + std::to_string(Child) + "/comm"), comm);

    // Its lock on the device, as /proc/locks shows it.
    TOpenFailure f = DiagnoseOpenFailure(terminal, "in use", K::Busy, Paths);
    EXPECT_EQ(f.Kind, K::Busy);
    EXPECT_EQ(f.Holder, comm + " (PID " + std::to_string(Child) + ")");
    ::close(master);

    // Lock files, by the names serial programs give them: the UUCP one (the
    // node's name, the number in ten places) and Qt's (the path below /dev,
    // "/" as "_").
    const std::string device = Touch("ttyUSB0");
    const std::string link = Root + "/bike";
    ASSERT_EQ(::symlink(device.c_str(), link.c_str()), 0);
    std::string qtName = "LCK.." + link;
    std::replace(qtName.begin(), qtName.end(), '/', '_');
    ProbePaths noProc = Paths;
    noProc.Proc = Root + "/proc"; // only the lock file can tell
    const std::string process = noProc.Proc + "/" + std::to_string(Child);
    fs::create_directories(process);
    std::ofstream(process + "/comm") << "minicom\n";
    const std::string pid = std::to_string(Child);
    const std::string uucp = std::string(10 - pid.size(), ' ') + pid + "\n";
    struct Case {
        std::string Opened, LockFile, Text;
    } cases[] = {
        {device, "LCK..ttyUSB0", uucp},
        {link, "LCK..ttyUSB0", uucp}, // the link's node is locked
        {link, qtName, pid + "\nminicom\nhost\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Opened + " " + c.LockFile);
        const std::string lockFile = Root + "/lock/" + c.LockFile;
        std::ofstream(lockFile) << c.Text;
        f = DiagnoseOpenFailure(c.Opened, "locked", K::Busy, noProc);
        EXPECT_EQ(f.Kind, K::Busy);
        EXPECT_EQ(f.Holder, "minicom (PID " + std::to_string(Child) + ")");
        fs::remove(lockFile);
    }

    // A stale lock file (its process has gone) and no lock: nobody to name.
    std::ofstream(Root + "/lock/LCK..ttyUSB0") << "999999999\n";
    f = DiagnoseOpenFailure(device, "locked", K::Busy, noProc);
    EXPECT_EQ(f.Kind, K::Busy);
    EXPECT_EQ(f.Holder, "");
#endif
}

} // namespace
} // namespace kelmor
