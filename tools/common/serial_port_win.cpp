#include "tools/common/serial_port_win.h"

bool SerialPort::Open(const std::string& name, DWORD baud) {
    Close();
    // COM10 and above are only reachable through the device namespace; it works for all.
    const std::string path = name.compare(0, 4, "\\\\.\\") == 0 ? name : "\\\\.\\" + name;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    COMMTIMEOUTS timeouts = {};
    timeouts.ReadIntervalTimeout = MAXDWORD; // return at once with what is there
    timeouts.WriteTotalTimeoutConstant = 500;
    bool ready = GetCommState(h, &dcb) != 0;
    if (ready) {
        dcb.BaudRate = baud;
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        dcb.fBinary = TRUE;
        dcb.fParity = FALSE;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        ready = SetCommState(h, &dcb) != 0 && SetCommTimeouts(h, &timeouts) != 0;
    }
    if (!ready) {
        CloseHandle(h);
        return false;
    }
    PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR);
    handle_ = h;
    return true;
}

void SerialPort::Close() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

bool SerialPort::ReadSome(char* buffer, DWORD size, DWORD& got) {
    got = 0;
    return IsOpen() && ReadFile(handle_, buffer, size, &got, nullptr) != FALSE;
}

bool SerialPort::Read(std::string& bytes) {
    if (!IsOpen()) return false;
    char buffer[256];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(handle_, buffer, sizeof buffer, &got, nullptr)) return false;
        bytes.append(buffer, got);
        if (got < sizeof buffer) return true;
    }
}

bool SerialPort::Write(const std::string& bytes) {
    if (!IsOpen()) return false;
    DWORD written = 0;
    return WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}
