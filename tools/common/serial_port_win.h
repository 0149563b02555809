// A serial port as the stand-ins open it for a receiver or an adapter: 8 data bits, no parity,
// one stop bit, reads that never wait. Closed when the object goes.
#pragma once

#include <windows.h>

#include <string>

class SerialPort {
  public:
    SerialPort() = default;
    ~SerialPort() { Close(); }
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // "COM3" or a full device path; false when the port is absent or taken.
    bool Open(const std::string& name, DWORD baud);
    void Close();
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Appends what has arrived; false when the port failed (the adapter was unplugged).
    bool Read(std::string& bytes);
    // Reads what has arrived, up to `size` bytes; false when the port failed.
    bool ReadSome(char* buffer, DWORD size, DWORD& got);
    // False unless every byte was written.
    bool Write(const std::string& bytes);

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};
