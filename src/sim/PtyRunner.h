#pragma once
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "link/Tick.h"
#include "sim/SimUnit.h"

namespace kelmor {

// Runs a SimUnit on the master side of a pseudo-terminal, so that a program
// opening the slave device finds a unit on a real tty. The slave is held
// open here (in raw mode), which keeps the master alive while the program
// closes and reopens its side.
class PtyRunner {
  public:
    struct Options {
        // When set, a symbolic link to the slave device made at Open() and
        // removed at the end (an existing link is replaced, a file is not).
        std::string LinkPath;
        // How often the unit's line is polled when nothing arrives, so that
        // replies held back by faults come out (milliseconds).
        int PollMs = TICK_MS;
        // A frame left half-received for this long is dropped, so the unit
        // falls back into step with the sender (milliseconds).
        int ResyncMs = 100;
    };

    explicit PtyRunner(std::shared_ptr<SimUnit> unit);
    PtyRunner(std::shared_ptr<SimUnit> unit, Options options);
    ~PtyRunner();
    PtyRunner(const PtyRunner&) = delete;
    PtyRunner& operator=(const PtyRunner&) = delete;

    // Creates the pseudo-terminal (and the link); false with a reason on failure.
    bool Open(std::string& error);
    // The slave device, as in "/dev/pts/7"; empty before Open().
    const std::string& SlavePath() const { return Slave; }
    // The path a program should open: the link when one was asked for.
    const std::string& DevicePath() const { return Opts.LinkPath.empty() ? Slave : Opts.LinkPath; }

    // Serves the unit until RequestStop() or until *stop becomes true (a flag
    // a signal handler may set; it is looked at several times a second).
    void Run(const std::atomic<bool>* stop = nullptr);
    // Open() and Run() on a thread of its own.
    bool Start(std::string& error);
    // Asks Run() to return; safe from a signal handler and from other threads.
    void RequestStop();
    // RequestStop(), then waits for the thread started by Start().
    void Stop();

    // Runs f with the unit locked against the serving thread.
    template <class F> auto WithUnit(F&& f) {
        std::lock_guard<std::mutex> lock(UnitMutex);
        return f(*Unit);
    }

  private:
    void WriteOut(const uint8_t* bytes, size_t n);
    void CloseAll();

    std::shared_ptr<SimUnit> Unit;
    Options Opts;
    std::mutex UnitMutex;
    std::string Slave;
    int Master = -1;
    int SlaveHold = -1;
    int Wake[2] = {-1, -1};
    bool LinkMade = false;
    std::atomic<bool> StopFlag{false};
    std::thread Thread;
};

} // namespace kelmor
