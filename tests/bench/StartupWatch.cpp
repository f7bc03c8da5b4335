// Starts a program on the X display and prints, once its first top-level
// window is mapped, the milliseconds since the start and the CPU time all
// its threads had used by then; the program is then ended. The map comes
// as an X event, so nothing polls and the measurement adds no delay.
//
//   startup_watch PROGRAM [ARG...]      prints "WALL_MS CPU_MS"
#include <X11/Xlib.h>
#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

// CPU time of every thread of `pid`, from the scheduler's own count.
double CpuMs(pid_t pid) {
    const std::string folder = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return -1;
    double ns = 0;
    while (const dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.') continue;
        const std::string file = folder + "/" + e->d_name + "/schedstat";
        if (std::FILE* f = std::fopen(file.c_str(), "r")) {
            unsigned long long run = 0;
            if (std::fscanf(f, "%llu", &run) == 1) ns += static_cast<double>(run);
            std::fclose(f);
        }
    }
    closedir(dir);
    return ns / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_watch PROGRAM [ARG...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "startup_watch: no X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    XEvent e;
    do
        XNextEvent(display, &e);
    while (e.type != MapNotify);
    const auto mapped = std::chrono::steady_clock::now();
    kill(pid, SIGSTOP);
    const double cpu = CpuMs(pid);
    std::printf("%.1f %.1f\n", std::chrono::duration<double, std::milli>(mapped - start).count(),
                cpu);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    XCloseDisplay(display);
    return 0;
}
