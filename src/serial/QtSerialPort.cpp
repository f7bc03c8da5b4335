#include "serial/QtSerialPort.h"

#include <QDeadlineTimer>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "serial/PortProbe.h"

#ifndef _WIN32
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace kelmor {

namespace {
// The longest any call may hold the UI thread: the read timeout.
constexpr int MAX_WAIT_MS = 100;
} // namespace

QtSerialPort::QtSerialPort(std::string device) : DevicePath(std::move(device)) {
    // A pulled adapter shows up as a resource error on the next read or write.
    QObject::connect(&Port, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::ResourceError && Port.isOpen()) Lost();
    });
}

QtSerialPort::~QtSerialPort() {
    QObject::disconnect(&Port, nullptr, nullptr, nullptr);
    if (Port.isOpen()) Port.close();
}

void QtSerialPort::ApplyLine() {
    Port.setBaudRate(QSerialPort::Baud57600);
    Port.setDataBits(QSerialPort::Data8);
    Port.setParity(QSerialPort::NoParity);
    Port.setStopBits(QSerialPort::OneStop);
    Port.setFlowControl(QSerialPort::NoFlowControl);
}

bool QtSerialPort::Open() {
    if (Opened) return true;
    if (!OpenOn(DevicePath)) return false;
    FollowPath = FollowName(DevicePath);
    Opened = true;
    return true;
}

bool QtSerialPort::Reopen() {
    if (!DeviceLost() || FollowPath.empty()) return false;
    // Not there yet: nothing to try, and no lock file to make and remove.
    std::error_code ec;
    if (!std::filesystem::exists(FollowPath, ec)) return false;
    return OpenOn(FollowPath);
}

bool QtSerialPort::OpenOn(const std::string& path) {
    Failure = TOpenFailure{};
    Port.setPortName(QString::fromStdString(path));
    // Set before opening so the line never runs at Qt's default speed.
    ApplyLine();
    if (!Port.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError e = Port.error();
        const TOpenFailure::TKind seen =
            e == QSerialPort::DeviceNotFoundError ? TOpenFailure::TKind::Absent
            : e == QSerialPort::PermissionError   ? TOpenFailure::TKind::Busy
                                                  : TOpenFailure::TKind::Unknown;
        Failure = DiagnoseOpenFailure(path, Port.errorString().toStdString(), seen);
        Port.clearError();
        return false;
    }
#ifndef _WIN32
    // The lock file binds only programs that look for it, and TIOCEXCL does
    // not bind root; a lock on the open device binds everyone who asks,
    // under any name of the device.
    if (::flock(static_cast<int>(Port.handle()), LOCK_EX | LOCK_NB) != 0) {
        Port.close();
        Port.clearError();
        Failure = DiagnoseOpenFailure(path, "the device is in use by another program",
                                      TOpenFailure::TKind::Busy);
        return false;
    }
#endif
    // Nothing left over from whoever had the line before.
    Port.clear(QSerialPort::AllDirections);
    Port.clearError();
    return true;
}

void QtSerialPort::Configure(const TTimeouts& applied, TTimeouts& saved) {
    // The driver keeps no timeouts here: they live in this object and bound
    // the waits below; the ones found at open are this object's starting set.
    saved = Current;
    Current = applied;
    if (!Port.isOpen()) return;
    ApplyLine();
    // Failures (a pseudo-terminal has no modem lines, for one) are not reported.
    Port.setDataTerminalReady(true);
    Port.setRequestToSend(true);
    Port.clearError();
}

int QtSerialPort::ReadWaitMs(size_t n) const {
    const uint64_t ms = uint64_t{Current.ReadTotalConstant} +
                        uint64_t{Current.ReadTotalMultiplier} * static_cast<uint64_t>(n);
    // No timeout at all would mean "wait for ever", which the tick cannot afford.
    return ms == 0 || ms > MAX_WAIT_MS ? MAX_WAIT_MS : static_cast<int>(ms);
}

void QtSerialPort::Lost() {
    // Deferred close is not possible here (no event loop is promised), and
    // the port must let go of the device so a replugged adapter can be opened.
    Port.close();
}

size_t QtSerialPort::BytesWaiting() {
    if (!Port.isOpen()) return 0;
    // Take in what the driver holds without waiting; a few rounds at most,
    // so a flooding line cannot keep the tick here.
    for (int round = 0; round < 4 && Port.isOpen() && Port.waitForReadyRead(0); ++round) {
    }
    if (!Port.isOpen()) return 0;
    Port.clearError();
    return static_cast<size_t>(std::max<qint64>(Port.bytesAvailable(), 0));
}

size_t QtSerialPort::ReadBytes(uint8_t* buffer, size_t n) {
    if (!Port.isOpen() || n == 0) return 0;
    QDeadlineTimer deadline(ReadWaitMs(n));
    while (Port.isOpen() && static_cast<size_t>(Port.bytesAvailable()) < n &&
           !deadline.hasExpired())
        if (!Port.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) break;
    if (!Port.isOpen()) return 0;
    const qint64 got = Port.read(reinterpret_cast<char*>(buffer), static_cast<qint64>(n));
    Port.clearError();
    return got > 0 ? static_cast<size_t>(got) : 0;
}

void QtSerialPort::WriteBytes(const uint8_t* buffer, size_t n) {
    if (!Port.isOpen() || n == 0) return;
    Port.write(reinterpret_cast<const char*>(buffer), static_cast<qint64>(n));
    // Hand the bytes to the driver now, not at the next turn of the event
    // loop: the page sender does not wait for them.
    QDeadlineTimer deadline(MAX_WAIT_MS);
    while (Port.isOpen() && Port.bytesToWrite() > 0 && !deadline.hasExpired())
        if (!Port.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) break;
    if (Port.isOpen()) Port.clearError();
}

void QtSerialPort::WaitTransmitted() {
    if (!Port.isOpen()) return;
    QDeadlineTimer deadline(MAX_WAIT_MS);
    while (Port.isOpen() && Port.bytesToWrite() > 0 && !deadline.hasExpired())
        if (!Port.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) break;
#ifndef _WIN32
    // Then until the driver's queue is empty: the last byte has left. Polled
    // rather than tcdrain(), which has no time limit.
    int queued = 0;
    while (Port.isOpen() && ::ioctl(static_cast<int>(Port.handle()), TIOCOUTQ, &queued) == 0 &&
           queued > 0 && !deadline.hasExpired())
        ::usleep(1000);
#endif
    if (Port.isOpen()) Port.clearError();
}

void QtSerialPort::PurgeReceive() {
    if (Port.isOpen()) Port.clear(QSerialPort::Input);
}

void QtSerialPort::Close(const TTimeouts& saved) {
    Current = saved;
    if (Port.isOpen()) Port.close(); // also drops the flock
    Opened = false;
}

} // namespace kelmor
