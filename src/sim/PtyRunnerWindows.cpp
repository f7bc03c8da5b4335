// Windows has no pseudo-terminals: there the simulated unit runs inside the
// program (the port "sim"), not on a line of its own.
#include "sim/PtyRunner.h"

namespace kelmor {

PtyRunner::PtyRunner(std::shared_ptr<SimUnit> unit) : PtyRunner(std::move(unit), Options{}) {}

PtyRunner::PtyRunner(std::shared_ptr<SimUnit> unit, Options options)
    : Unit(std::move(unit)), Opts(std::move(options)) {}

PtyRunner::~PtyRunner() = default;

bool PtyRunner::Open(std::string& error) {
    error = "a simulated unit on a line needs a pseudo-terminal, which Windows does not have; "
            "use --port sim for the simulated unit inside the tool";
    return false;
}

void PtyRunner::Run(const std::atomic<bool>*) {}

bool PtyRunner::Start(std::string& error) {
    return Open(error);
}

void PtyRunner::RequestStop() {
    StopFlag.store(true);
}

void PtyRunner::Stop() {
    RequestStop();
}

} // namespace kelmor
