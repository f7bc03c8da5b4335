#include "serial/Win32SerialPort.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "storage/OsFile.h"

namespace kelmor {

namespace {

// The longest WaitTransmitted may hold the caller: the read timeout.
constexpr DWORD MAX_WAIT_MS = 100;
// One ReadFile or WriteFile call at most; the link never moves more at once.
constexpr size_t MAX_CHUNK = 1u << 20;

HANDLE H(void* handle) {
    return static_cast<HANDLE>(handle);
}

// What a failed CreateFile means for the user. Windows refuses a port that
// another program holds with "access denied" as well.
TOpenFailure::TKind KindOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return TOpenFailure::TKind::Absent;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return TOpenFailure::TKind::Busy;
    default:
        return TOpenFailure::TKind::Unknown;
    }
}

std::string Reason(DWORD error) {
    switch (KindOf(error)) {
    case TOpenFailure::TKind::Absent:
        return "no such port";
    case TOpenFailure::TKind::Busy:
        return "the port is in use by another program, or access is refused";
    default:
        return "Windows error " + std::to_string(error);
    }
}

bool IsComName(const std::string& device) {
    if (device.size() < 4 || device.size() > 6) return false;
    for (size_t i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(device[i])) != "COM"[i]) return false;
    return std::all_of(device.begin() + 3, device.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

// Errors that mean the device itself is gone, not a passing line fault.
bool DeviceGone(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_BAD_COMMAND ||
           error == ERROR_DEVICE_REMOVED || error == ERROR_GEN_FAILURE ||
           error == ERROR_INVALID_HANDLE || error == ERROR_DEV_NOT_EXIST;
}

COMMTIMEOUTS ToComm(const TTimeouts& t) {
    COMMTIMEOUTS c{};
    c.ReadIntervalTimeout = t.ReadInterval;
    c.ReadTotalTimeoutMultiplier = t.ReadTotalMultiplier;
    c.ReadTotalTimeoutConstant = t.ReadTotalConstant;
    c.WriteTotalTimeoutMultiplier = t.WriteTotalMultiplier;
    c.WriteTotalTimeoutConstant = t.WriteTotalConstant;
    return c;
}

} // namespace

Win32SerialPort::Win32SerialPort(std::string device) : DeviceName(std::move(device)) {}

Win32SerialPort::~Win32SerialPort() {
    if (Usable()) ::CloseHandle(H(Handle));
}

std::string Win32SerialPort::SystemName(const std::string& device) {
    // COM10 and above are reachable only through the device namespace.
    return IsComName(device) ? "\\\\.\\" + device : device;
}

bool Win32SerialPort::Open() {
    if (Opened) return true;
    Failure = TOpenFailure{};
    Failure.Device = DeviceName;
    if (!OpenHandle()) return false;
    Opened = true;
    return true;
}

bool Win32SerialPort::OpenHandle() {
    const HANDLE h =
        ::CreateFileW(WideFromUtf8(SystemName(DeviceName)).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        Failure.Kind = KindOf(error);
        Failure.Reason = Reason(error);
        return false;
    }
    // A file or a console is no serial port: it has no line state.
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(h, &dcb)) {
        ::CloseHandle(h);
        Failure.Reason = "not a serial port";
        return false;
    }
    Handle = h;
    // Nothing left over from whoever had the line before.
    ::PurgeComm(h, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    DWORD errors = 0;
    ::ClearCommError(h, &errors, nullptr);
    return true;
}

bool Win32SerialPort::Reopen() {
    // The same name: Windows gives a replugged adapter its COM number back.
    return DeviceLost() && OpenHandle();
}

void Win32SerialPort::Configure(const TTimeouts& applied, TTimeouts& saved) {
    if (!Usable()) return;
    // Failures here are not reported: the line may still work.
    COMMTIMEOUTS found{};
    if (::GetCommTimeouts(H(Handle), &found))
        saved = TTimeouts{found.ReadIntervalTimeout, found.ReadTotalTimeoutMultiplier,
                          found.ReadTotalTimeoutConstant, found.WriteTotalTimeoutMultiplier,
                          found.WriteTotalTimeoutConstant};
    COMMTIMEOUTS mine = ToComm(applied);
    ::SetCommTimeouts(H(Handle), &mine);

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (::GetCommState(H(Handle), &dcb)) {
        ::BuildCommDCBA("57600,N,8,1", &dcb);
        dcb.BaudRate = CBR_57600;
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        dcb.fBinary = TRUE;
        dcb.fParity = FALSE;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
        // A line error must not stop every later read until it is cleared.
        dcb.fAbortOnError = FALSE;
        ::SetCommState(H(Handle), &dcb);
    }
    ::SetupComm(H(Handle), 10000, 1024);
    ::SetCommMask(H(Handle), EV_TXEMPTY);
}

void Win32SerialPort::Lost() {
    if (Usable()) ::CloseHandle(H(Handle));
    Handle = nullptr;
}

size_t Win32SerialPort::BytesWaiting() {
    if (!Usable()) return 0;
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(H(Handle), &errors, &status)) {
        if (DeviceGone(::GetLastError())) Lost();
        return 0;
    }
    return status.cbInQue;
}

size_t Win32SerialPort::ReadBytes(uint8_t* buffer, size_t n) {
    if (!Usable() || n == 0) return 0;
    DWORD got = 0;
    if (!::ReadFile(H(Handle), buffer, static_cast<DWORD>(std::min(n, MAX_CHUNK)), &got, nullptr)) {
        const DWORD e = ::GetLastError();
        DWORD errors = 0;
        ::ClearCommError(H(Handle), &errors, nullptr);
        if (DeviceGone(e)) Lost();
    }
    return got;
}

void Win32SerialPort::WriteBytes(const uint8_t* buffer, size_t n) {
    while (Usable() && n > 0) {
        DWORD put = 0;
        if (!::WriteFile(H(Handle), buffer, static_cast<DWORD>(std::min(n, MAX_CHUNK)), &put,
                         nullptr)) {
            const DWORD e = ::GetLastError();
            DWORD errors = 0;
            ::ClearCommError(H(Handle), &errors, nullptr);
            if (DeviceGone(e)) Lost();
            return;
        }
        if (put == 0) return;
        buffer += put;
        n -= put;
    }
}

void Win32SerialPort::WaitTransmitted() {
    const ULONGLONG end = ::GetTickCount64() + MAX_WAIT_MS;
    while (Usable()) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!::ClearCommError(H(Handle), &errors, &status)) {
            if (DeviceGone(::GetLastError())) Lost();
            return;
        }
        if (status.cbOutQue == 0 || ::GetTickCount64() >= end) return;
        ::Sleep(1);
    }
}

void Win32SerialPort::PurgeReceive() {
    if (Usable()) ::PurgeComm(H(Handle), PURGE_RXABORT);
}

void Win32SerialPort::Close(const TTimeouts& saved) {
    if (Usable()) {
        COMMTIMEOUTS back = ToComm(saved);
        ::SetCommTimeouts(H(Handle), &back);
        ::CloseHandle(H(Handle));
    }
    Handle = nullptr;
    Opened = false;
}

} // namespace kelmor
