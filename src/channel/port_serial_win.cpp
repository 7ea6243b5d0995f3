#include <array>

#include "channel/port_win.h"
#include "shared/errors.h"

namespace orvo::channel_detail {

std::optional<speed_t> speed_code(int baud) {
  static constexpr std::array<int, 15> kRates = {110,   300,   600,   1200,   2400,
                                                 4800,  9600,  14400, 19200,  38400,
                                                 57600, 115200, 128000, 230400, 256000};
  for (const int rate : kRates) {
    if (rate == baud) return static_cast<speed_t>(baud);
  }
  return std::nullopt;
}

}  // namespace orvo::channel_detail

namespace orvo {

using namespace channel_detail;

std::unique_ptr<Port> open_serial_port(const PortTarget& target, const PortOptions& options) {
  HANDLE h = open_device(target, options.lock_timeout);
  auto port = std::make_unique<HandlePort>(target, h, true, options.stall_timeout);
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!::GetCommState(h, &dcb)) raise_win(channel_err::kPathFileAccess, target, "not a serial port", ::GetLastError());
  const SerialParams& p = target.serial;
  dcb.BaudRate = *speed_code(p.baud);
  dcb.ByteSize = static_cast<BYTE>(p.data_bits);
  dcb.Parity = p.parity == 'E' ? EVENPARITY : p.parity == 'O' ? ODDPARITY : NOPARITY;
  dcb.fParity = p.parity != 'N';
  dcb.StopBits = p.stop_bits == 2 ? TWOSTOPBITS : ONESTOPBIT;
  dcb.fBinary = TRUE;
  // Raw bytes, no handshake: a printer cable rarely carries the modem lines.
  dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = dcb.fOutX = dcb.fInX = FALSE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  if (!::SetCommState(h, &dcb)) {
    raise_win(channel_err::kPathFileAccess, target, "cannot set line settings", ::GetLastError());
  }
  // A write ends when the device takes nothing for the stall timeout; the port's own wait
  // measures the same, so both agree on when the printer stalled.
  COMMTIMEOUTS timeouts{};
  timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(options.stall_timeout.count());
  if (!::SetCommTimeouts(h, &timeouts)) {
    raise_win(channel_err::kPathFileAccess, target, "cannot set the timeouts", ::GetLastError());
  }
  return port;
}

}  // namespace orvo
