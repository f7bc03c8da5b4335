// Windows has no device links, lock files or process table to look into:
// a port keeps its COM name, and the back end says why an open failed.
#include "serial/PortProbe.h"

namespace kelmor {

std::string FollowName(const std::string& device, const ProbePaths&) {
    return device;
}

std::string DeviceHolder(const std::string&, const ProbePaths&) {
    return {};
}

TOpenFailure DiagnoseOpenFailure(const std::string& device, const std::string& reason,
                                 TOpenFailure::TKind seen, const ProbePaths&) {
    TOpenFailure f;
    f.Device = device;
    f.Reason = reason;
    f.Kind = seen;
    return f;
}

} // namespace kelmor
