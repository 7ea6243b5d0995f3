#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>
#include <vector>

#include "channel/channel_internal.h"
#include "shared/errors.h"

namespace orvo {

namespace {

std::string_view trim(std::string_view s) {
  auto is_space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && is_space(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_space(s.back())) s.remove_suffix(1);
  return s;
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool parse_int(std::string_view s, int& out) {
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

bool starts_with_tcp(std::string_view s) {
  return s.size() >= 6 && upper(s.substr(0, 6)) == "TCP://";
}

// "LPT1".."LPT9" / "COM1".."COM9", an optional trailing ':' allowed; "" for any other name.
std::string device_name(std::string_view name) {
  std::string u = upper(trim(name));
  if (!u.empty() && u.back() == ':') u.pop_back();
  if (u.size() != 4 || u[3] < '1' || u[3] > '9') return "";
  std::string stem = u.substr(0, 3);
  return stem == "LPT" || stem == "COM" ? u : "";
}

// Where an unmapped LPTn or COMn leads, and whether a target is a device (never created).
#ifdef _WIN32
std::string default_device(std::string_view dev) { return "\\\\.\\" + std::string(dev); }
bool is_device(std::string_view target) { return target.starts_with("\\\\.\\"); }
constexpr const char* kPathSeparators = "/\\";
#else
constexpr const char* kPathSeparators = "/";
std::string default_device(std::string_view dev) {
  const int index = dev[3] - '1';
  return (dev.starts_with("LPT") ? "/dev/lp" : "/dev/ttyS") + std::to_string(index);
}
bool is_device(std::string_view target) { return target.starts_with("/dev/"); }
#endif

[[noreturn]] void bad_name(std::string_view name, std::string_view why) {
  raise(err::kBadFileNumber, "Bad file name: " + std::string(name) + ": " + std::string(why));
}

bool starts_with_cups(std::string_view s) {
  return s.size() >= 5 && upper(s.substr(0, 5)) == "CUPS:";
}

// cups:QUEUE, the queue named as CUPS names it: printable, no space, '/', '#' or quote.
void parse_cups(PortTarget& t) {
  t.kind = PortKind::kCups;
  t.may_create = false;
  t.queue = t.target.substr(5);
  if (t.queue.empty()) bad_name(t.name, "no queue in \"" + t.target + "\"");
  for (const char c : t.queue) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= ' ' || u == 0x7F || c == '/' || c == '#' || c == '\\' || c == '\'' || c == '"') {
      bad_name(t.name, "\"" + t.queue + "\" is no CUPS queue name");
    }
  }
}

// tcp://HOST:PORT, HOST possibly a bracketed IPv6 literal.
void parse_tcp(PortTarget& t) {
  const std::string& text = t.target;
  std::string_view rest = std::string_view(text).substr(6);
  std::string_view host;
  std::string_view port;
  if (!rest.empty() && rest.front() == '[') {
    auto close = rest.find(']');
    if (close == std::string_view::npos) bad_name(t.name, "unclosed '[' in \"" + text + "\"");
    host = rest.substr(1, close - 1);
    rest.remove_prefix(close + 1);
    if (rest.empty() || rest.front() != ':') {
      bad_name(t.name, "expected tcp://HOST:PORT, got \"" + text + "\"");
    }
    port = rest.substr(1);
  } else {
    auto colon = rest.rfind(':');
    if (colon == std::string_view::npos) {
      bad_name(t.name, "expected tcp://HOST:PORT, got \"" + text + "\"");
    }
    host = rest.substr(0, colon);
    port = rest.substr(colon + 1);
  }
  if (host.empty()) bad_name(t.name, "no host in \"" + text + "\"");
  int number = 0;
  if (!parse_int(port, number) || number < 1 || number > 65535) {
    bad_name(t.name, "bad TCP port \"" + std::string(port) + "\" in \"" + text + "\"");
  }
  t.kind = PortKind::kTcp;
  t.host = std::string(host);
  t.service = std::to_string(number);
}

void parse_serial(PortTarget& t, std::string_view mapping) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    auto comma = mapping.find(',', start);
    parts.push_back(trim(mapping.substr(start, comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  auto bad = [&](std::string_view why) {
    raise(err::kBadFileNumber,
          t.name + ": bad [Ports] setting \"" + std::string(mapping) + "\": " + std::string(why));
  };
  if (parts.size() > 5) bad("expected DEVICE,BAUD,PARITY,DATABITS,STOPBITS");
  if (parts[0].empty()) bad("no device");
  t.target = std::string(parts[0]);
  // An empty part keeps its default, so "dev,,E" sets only the parity.
  auto part = [&](std::size_t i) { return i < parts.size() ? parts[i] : std::string_view(); };
  SerialParams& sp = t.serial;
  if (auto s = part(1); !s.empty()) {
    if (!parse_int(s, sp.baud) || sp.baud <= 0)
      bad("baud \"" + std::string(s) + "\" is not a number");
    if (!channel_detail::speed_code(sp.baud))
      bad("baud " + std::string(s) + " is not a supported rate");
  }
  if (auto s = part(2); !s.empty()) {
    std::string p = upper(s);
    if (p != "N" && p != "E" && p != "O") bad("parity \"" + std::string(s) + "\" is not N, E or O");
    sp.parity = p[0];
  }
  if (auto s = part(3); !s.empty()) {
    if (s != "7" && s != "8") bad("data bits \"" + std::string(s) + "\" is not 7 or 8");
    sp.data_bits = s[0] - '0';
  }
  if (auto s = part(4); !s.empty()) {
    if (s != "1" && s != "2") bad("stop bits \"" + std::string(s) + "\" is not 1 or 2");
    sp.stop_bits = s[0] - '0';
  }
}

}  // namespace

PortTarget resolve_port(std::string_view name, std::string_view mapping) {
  PortTarget t;
  t.name = std::string(name);
  if (trim(name).empty()) bad_name(name, "empty port name");

  std::string dev = device_name(name);
  if (dev.empty()) {
    t.target = t.name;
    if (starts_with_tcp(t.name)) {
      parse_tcp(t);
    } else if (starts_with_cups(t.name)) {
      parse_cups(t);
    } else if (t.name.find_first_of(kPathSeparators) == std::string::npos) {
      // "LPT10" or "COM0" would otherwise become a file in the current folder.
      bad_name(name, "not a port: expected LPT1..LPT9, COM1..COM9, tcp://HOST:PORT, cups:QUEUE "
                     "or a path (a path holds a '/', e.g. ./invoice.prn)");
    } else {
      // Never leave a plain file where a device belongs.
      t.may_create = !is_device(t.target);
    }
    return t;
  }

  mapping = trim(mapping);
  if (starts_with_tcp(mapping)) {
    t.target = std::string(mapping);
    parse_tcp(t);
    return t;
  }
  if (starts_with_cups(mapping)) {
    t.target = std::string(mapping);
    parse_cups(t);
    return t;
  }
  if (dev.starts_with("LPT")) {
    t.target = mapping.empty() ? default_device(dev) : std::string(mapping);
    t.may_create = !mapping.empty() && !is_device(t.target);
    return t;
  }
  t.kind = PortKind::kSerial;
  t.may_create = false;
  if (mapping.empty()) {
    t.target = default_device(dev);
  } else {
    parse_serial(t, mapping);
  }
  return t;
}

PortTarget resolve_port(std::string_view name, const Settings& settings) {
  std::string dev = device_name(name);
  return resolve_port(name, dev.empty() ? std::string() : settings.get("Ports", dev));
}

PortOptions port_options(const Settings& settings) {
  PortOptions o;
  o.lock_timeout = settings.seconds("Ports", "LockTimeoutSeconds", o.lock_timeout);
  o.stall_timeout = settings.seconds("Ports", "WriteTimeoutSeconds", o.stall_timeout);
  o.connect_timeout = settings.seconds("Ports", "TcpTimeoutSeconds", o.connect_timeout);
  o.send_buffer = settings.count("Ports", "TcpSendBufferBytes", o.send_buffer);
  o.cups_wait = settings.seconds("Ports", "CupsWaitSeconds", o.cups_wait);
  return o;
}

namespace channel_detail {

std::string seconds_text(std::chrono::milliseconds ms) {
  auto n = ms.count();
  if (n % 1000 == 0) return std::to_string(n / 1000) + " s";
  std::string frac = std::to_string(1000 + n % 1000).substr(1);
  while (frac.back() == '0') frac.pop_back();
  return std::to_string(n / 1000) + "." + frac + " s";
}

}  // namespace channel_detail

}  // namespace orvo
