// Writes that do not finish: a process killed at any moment while it saves a
// parameter file or writes its settings at shutdown, and saves onto a full
// disk. The file that was there before must always be whole and readable.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "sim/SimRandom.h"
#include "storage/IgnFile.h"
#include "storage/IniFile.h"
#include "storage/StartupImage.h"
#include "support/FormFixture.h"

namespace kelmor::test {
namespace {

using C = ControlId;
using Clock = std::chrono::steady_clock;

constexpr int KILLS = 100; // per kind of write

// The main window with no port and no boxes left over from its start.
struct Window {
    explicit Window(const std::string& config) {
        Host.Config = config;
        Form.FormCreate({});
        Host.Boxes.clear();
    }
    void Show(const TIgnParams& p) {
        Form.Params() = p;
        Form.ShowParams();
    }
    bool Save(const std::string& file) {
        Host.SaveAnswers = {file};
        Form.MenuSaveClick();
        return Host.Boxes.empty();
    }
    FakePlatform Host;
    TFormHlav Form{Host};
};

// Two sets that differ in every field the files hold, as the window saves
// them (through its controls and Normalise).
std::array<TIgnParams, 2> TwoSets(const std::string& config) {
    std::array<TIgnParams, 2> sets{};
    SetDefaults(sets[0]);
    SetDefaults(sets[1]);
    TIgnParams& b = sets[1];
    b.PocetBodu = 9;
    b.BaseAdv = 4;
    b.Omez1 = 45;
    b.Omez2 = 110;
    b.Retard = 3;
    b.Polarita = 1;
    b.LedRazeni = 90;
    b.Clutch1 = 30;
    b.Clutch2 = 60;
    b.Input2 = 2;
    b.ZakazCteni = 1;
    b.RpmPulsu = 1;
    b.RpmKorekce = 90;
    b.RevOutLedRazeni = 1;
    for (int k = 0; k < CURVE_POINTS; ++k) {
        b.RpmAdv[k] = static_cast<uint8_t>(12 * (k + 1));
        b.Advance[k] = static_cast<uint8_t>(15 + k);
    }
    b.Reserved7 = 7;
    for (TIgnParams& p : sets) {
        Window w(config);
        w.Show(p);
        w.Form.ReadControls();
        w.Form.Normalise();
        p = w.Form.Params();
    }
    return sets;
}

// The fields a .ign text holds, read into an empty set.
bool FileFields(const std::string& text, TIgnParams& p) {
    p = TIgnParams{};
    return ReadIgnFile(text, p);
}

bool SameFields(const TIgnParams& a, const TIgnParams& b) {
    TIgnParams x, y;
    FileFields(WriteIgnFile(a), x);
    FileFields(WriteIgnFile(b), y);
    return std::memcmp(&x, &y, sizeof x) == 0;
}

// Runs `work` in a child that tells when it is under way, kills it after a
// random moment and waits for it. False when the child ended by itself.
template <class Work> bool KillDuring(Work work, SimRandom& random, int maxDelayUs) {
    int ready[2];
    if (::pipe(ready) != 0) return false;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        work(ready[1]);
        ::_exit(1); // work never returns
    }
    ::close(ready[1]);
    char c = 0;
    const bool started = ::read(ready[0], &c, 1) == 1;
    ::close(ready[0]);
    if (started) ::usleep(static_cast<useconds_t>(random.Below(static_cast<uint32_t>(maxDelayUs))));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return started && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

void Ready(int fd) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(fd, &c, 1);
    ::close(fd);
}

size_t FilesIn(const std::string& folder) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                             std::filesystem::directory_iterator()));
}

TEST(InterruptedWrites, SaveKilledAtAnyMomentLeavesAWholeFile) {
    TempFolder config, files;
    const auto sets = TwoSets(config.Path());
    ASSERT_FALSE(SameFields(sets[0], sets[1]));
    const std::string file = files.Path() + "/bike.ign";

    // The first file, and how long one save takes here.
    Window first(config.Path());
    first.Show(sets[0]);
    const auto t0 = Clock::now();
    ASSERT_TRUE(first.Save(file));
    const auto saveUs =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - t0).count();

    SimRandom random(2024);
    const int maxDelay = static_cast<int>(std::max<long long>(4 * saveUs, 2000));
    int kills = 0;
    for (int k = 0; k < KILLS; ++k) {
        const bool killed = KillDuring(
            [&](int readyFd) {
                Window w(config.Path());
                Ready(readyFd);
                for (unsigned i = 0;; ++i) {
                    w.Show(sets[(i + 1) % 2]);
                    if (!w.Save(file)) ::_exit(2);
                }
            },
            random, maxDelay);
        ASSERT_TRUE(killed) << "the saving child ended by itself, kill " << k;
        ++kills;
        TIgnParams read;
        ASSERT_TRUE(FileFields(ReadFile(file), read)) << "kill " << k;
        ASSERT_TRUE(SameFields(read, sets[0]) || SameFields(read, sets[1])) << "kill " << k;
        ASSERT_TRUE(ReadFile(file) == WriteIgnFile(sets[0]) ||
                    ReadFile(file) == WriteIgnFile(sets[1]))
            << "kill " << k;
    }
    // A killed save may leave its unfinished new file beside the old one; it
    // is never the file itself.
    std::printf("%d saves killed (one save takes %lld us); %zu unfinished new files left\n", kills,
                static_cast<long long>(saveUs), FilesIn(files.Path()) - 1);
}

TEST(InterruptedWrites, ShutdownKilledAtAnyMomentLeavesWholeSettings) {
    TempFolder config;
    const auto sets = TwoSets(config.Path());
    const std::string settings = config.Path() + "/kelmor.ini";
    const std::string image = config.Path() + "/_kelmor.ini";
    {
        Window w(config.Path());
        w.Show(sets[0]);
        w.Form.SerialLink.ComPort = 3;
        w.Form.FormClose();
    }
    ASSERT_TRUE(std::filesystem::exists(image));

    SimRandom random(77);
    for (int k = 0; k < KILLS; ++k) {
        const bool killed = KillDuring(
            [&](int readyFd) {
                Window w(config.Path());
                Ready(readyFd);
                for (unsigned i = 0;; ++i) {
                    w.Show(sets[(i + 1) % 2]);
                    w.Form.SerialLink.ComPort = static_cast<uint8_t>(3 + (i + 1) % 2);
                    w.Form.FormClose();
                }
            },
            random, 20000);
        ASSERT_TRUE(killed) << "kill " << k;

        IniFile ini;
        ASSERT_TRUE(ini.Load(settings)) << "kill " << k;
        const int port = ini.ReadInteger("FORM_HLAV", "ComPort", 0);
        ASSERT_TRUE(port == 3 || port == 4) << "kill " << k;
        for (const char* key : {"Left", "Top", "Height", "Width", "Language", "File", "IniDir",
                                "CheckBoxIgnAll->Checked"})
            ASSERT_NE(ini.ReadString("FORM_HLAV", key, "\x01"), "\x01") << key << ", kill " << k;

        const std::string text = ReadFile(image);
        TDeviceImage read{};
        ReadStartupImage(text, ImageBytes(read.Bytes(), STARTUP_IMAGE_SIZE));
        ASSERT_EQ(text, WriteStartupImage(ConstImageBytes(read.Bytes(), STARTUP_IMAGE_SIZE)))
            << "kill " << k;
        ASSERT_TRUE(std::memcmp(&read.Params, &sets[0], sizeof(TIgnParams)) == 0 ||
                    std::memcmp(&read.Params, &sets[1], sizeof(TIgnParams)) == 0)
            << "kill " << k;
    }
}

// A full disk, in a child: a tiny file system of its own where mounting is
// allowed, else a limit on the size of any file it writes.
enum FullDiskResult {
    Passed = 0,
    FirstWritesFailed = 10,
    NoErrorBox,
    OldFileChanged,
    NewFileLeftBehind,
    SettingsChanged,
    NotFull,
    CannotMount = 77,
};

bool MountTinyDisk(const std::string& folder) {
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWNS) != 0) {
        // Without privileges: a user namespace of our own may mount.
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
        auto put = [](const char* path, const std::string& text) { std::ofstream(path) << text; };
        put("/proc/self/setgroups", "deny");
        put("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
        put("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    }
    // Nothing of this leaks out of the child.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
    return ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=32k") == 0;
}

FullDiskResult SaveOntoFullDisk(const std::string& folder, bool tmpfs,
                                const std::array<TIgnParams, 2>& sets) {
    if (tmpfs && !MountTinyDisk(folder)) return CannotMount;
    const std::string file = folder + "/bike.ign";
    Window w(folder);
    w.Show(sets[0]);
    if (!w.Save(file)) return FirstWritesFailed;
    w.Form.FormClose();
    const std::string ign = ReadFile(file), settings = ReadFile(folder + "/kelmor.ini"),
                      image = ReadFile(folder + "/_kelmor.ini");
    if (ign.empty() || settings.empty() || image.empty()) return FirstWritesFailed;
    const size_t before = FilesIn(folder);

    if (tmpfs) {
        // Fill what is left.
        std::FILE* filler = std::fopen((folder + "/filler").c_str(), "wb");
        static const char block[1024] = {};
        while (filler != nullptr && std::fwrite(block, 1, sizeof block, filler) == sizeof block &&
               std::fflush(filler) == 0) {
        }
        if (filler != nullptr) std::fclose(filler);
        if (errno != ENOSPC) return NotFull;
    } else {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 64;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    const size_t full = FilesIn(folder);

    w.Show(sets[1]);
    if (w.Save(file)) return NoErrorBox;
    if (w.Host.Boxes != std::vector<std::string>{w.Form.Messages.MsgFileOpenError})
        return NoErrorBox;
    if (ReadFile(file) != ign) return OldFileChanged;
    w.Form.FormClose();
    if (ReadFile(folder + "/kelmor.ini") != settings || ReadFile(folder + "/_kelmor.ini") != image)
        return SettingsChanged;
    if (FilesIn(folder) != full || full < before) return NewFileLeftBehind;
    return Passed;
}

TEST(InterruptedWrites, SaveOntoAFullDiskKeepsTheOldFiles) {
    TempFolder config;
    const auto sets = TwoSets(config.Path());
    for (const bool tmpfs : {true, false}) {
        SCOPED_TRACE(tmpfs ? "tiny file system" : "file size limit");
        TempFolder folder;
        const pid_t pid = ::fork();
        if (pid == 0) ::_exit(SaveOntoFullDisk(folder.Path(), tmpfs, sets));
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        const int result = WEXITSTATUS(status);
        if (result == CannotMount) {
            std::printf(
                "no tiny file system here (mounting not allowed); the size limit stands in\n");
            continue;
        }
        EXPECT_EQ(result, Passed) << "see FullDiskResult";
    }
}

enum LockedFolderResult {
    Saved = 0,
    SetupFailed,
    SaveRefused,
    SaveLost,
    SettingsLost,
    FilesBeside,
};

// A folder in which no new file may be made, holding files that may be
// written: Save and shutdown write them in place. Root may make files
// anywhere, so a root child gives its rights up first.
LockedFolderResult SaveIntoLockedFolder(const std::string& folder,
                                        const std::array<TIgnParams, 2>& sets) {
    const std::string file = folder + "/bike.ign";
    Window w(folder);
    w.Show(sets[0]);
    if (!w.Save(file)) return SetupFailed;
    w.Form.FormClose();
    for (const char* name : {"bike.ign", "kelmor.ini", "_kelmor.ini"})
        if (::chmod((folder + "/" + name).c_str(), 0666) != 0) return SetupFailed;
    if (::chmod(folder.c_str(), 0555) != 0) return SetupFailed;
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return SetupFailed;
    const std::string probe = folder + "/probe";
    if (::open(probe.c_str(), O_WRONLY | O_CREAT, 0644) >= 0 || errno != EACCES) return SetupFailed;

    Window again(folder);
    again.Show(sets[1]);
    again.Form.MenuGermanClick();
    if (!again.Save(file)) return SaveRefused;
    TIgnParams read{};
    if (!FileFields(ReadFile(file), read) || !SameFields(read, sets[1])) return SaveLost;
    again.Form.FormClose();
    IniFile ini;
    if (!ini.Load(folder + "/kelmor.ini") || ini.ReadInteger("FORM_HLAV", "Language", 0) != 1 ||
        ini.ReadString("FORM_HLAV", "IniDir", "") != file)
        return SettingsLost;
    TDeviceImage image{};
    ReadStartupImage(ReadFile(folder + "/_kelmor.ini"),
                     ImageBytes(image.Bytes(), STARTUP_IMAGE_SIZE));
    if (!SameFields(image.Params, sets[1])) return SettingsLost;
    if (FilesIn(folder) != 3) return FilesBeside;
    return Saved;
}

TEST(InterruptedWrites, FolderThatRefusesNewFilesIsWrittenInPlace) {
    TempFolder config;
    const auto sets = TwoSets(config.Path());
    TempFolder folder;
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(SaveIntoLockedFolder(folder.Path(), sets));
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::chmod(folder.Path().c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), Saved) << "see LockedFolderResult";
}

} // namespace
} // namespace kelmor::test
