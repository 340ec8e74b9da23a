#include "class_a/standard/CEndpoint.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

constexpr const char* kModule = "standard";

// The port sits at the same place in both socket addresses, so it can be read
// and written without knowing the family (also for an empty endpoint).
static_assert(offsetof(sockaddr_in, sin_port) == offsetof(sockaddr_in6, sin6_port),
              "port offsets differ");
constexpr std::size_t kPortOffset = offsetof(sockaddr_in, sin_port);

struct AddrInfoDeleter {
  void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

// atoi rules (leading blanks, sign, digits), kept to 16 bits.
std::uint16_t readPort(const std::string& text) {
  return static_cast<std::uint16_t>(std::strtol(text.c_str(), nullptr, 10));
}

}  // namespace

CEndpoint::CEndpoint() {
  _makeEmpty();
}

CEndpoint::CEndpoint(const CIPAddress& address, std::uint16_t port) {
  _makeEmpty();
  this->port(port);
  ip_address(address);
}

CEndpoint::CEndpoint(const sockaddr* address, std::size_t length) {
  _makeEmpty();
  const bool hasFamily = address != nullptr && length >= sizeof(sa_family_t);
  if (hasFamily && address->sa_family == AF_INET && length >= sizeof(sockaddr_in)) {
    _assignSockaddr(address, sizeof(sockaddr_in), AF_INET);
  } else if (hasFamily && address->sa_family == AF_INET6 && length >= sizeof(sockaddr_in6)) {
    _assignSockaddr(address, sizeof(sockaddr_in6), AF_INET6);
  } else {
    fail(CRaiser::of(*this), kModule, "CEndpoint::CEndpoint", "Cannot construct endpoint.",
         "Unknown protocol family.");
  }
}

CEndpoint::CEndpoint(const std::string& text) {
  _makeEmpty();
  set(text);
}

// ACE_INET_Addr copies only get_size() bytes; an empty endpoint may still hold
// a port, so the whole socket address is copied here.
CEndpoint::CEndpoint(const CEndpoint& other) : ACE_INET_Addr(), CObject(other) {
  _assignSockaddr(other.get_addr(), sizeof(sockaddr_in6), other.get_type());
  set_size(other.get_size());
}

CEndpoint& CEndpoint::operator=(const CEndpoint& other) {
  if (this != &other) {
    _assignSockaddr(other.get_addr(), sizeof(sockaddr_in6), other.get_type());
    set_size(other.get_size());
  }
  return *this;
}

CEndpoint::~CEndpoint() = default;

void CEndpoint::_makeEmpty() {
  _assignSockaddr(nullptr, 0, AF_UNSPEC);
}

void CEndpoint::_assignSockaddr(const void* address, std::size_t length, int family) {
  void* held = get_addr();
  std::memset(held, 0, sizeof(sockaddr_in6));
  if (length != 0) std::memcpy(held, address, length);
  set_type(family);
  set_size(static_cast<int>(length));
}

CEndpoint::Kind CEndpoint::_kind() const {
  const int size = get_size();
  if (size == static_cast<int>(sizeof(sockaddr_in))) return Kind::kV4;
  if (size == static_cast<int>(sizeof(sockaddr_in6))) return Kind::kV6;
  return Kind::kEmpty;
}

bool CEndpoint::isEmpty() const {
  return _kind() == Kind::kEmpty;
}

void CEndpoint::set(const std::string& text) {
  std::string host;
  std::string portText;
  bool valid = true;
  if (!text.empty() && text.front() == '[') {
    const std::size_t close = text.find(']');
    valid = close != std::string::npos && (close + 1 == text.size() || text[close + 1] == ':');
    if (valid) {
      host = text.substr(1, close - 1);
      if (close + 1 < text.size()) portText = text.substr(close + 2);
    }
  } else {
    const std::size_t first = text.find(':');
    const std::size_t last = text.rfind(':');
    CIPAddress whole;
    if (first == std::string::npos || (first != last && CIPAddress::tryParse(text, whole))) {
      host = text;
    } else {
      host = text.substr(0, last);
      portText = text.substr(last + 1);
      if (!host.empty() && host.front() == '[') host.erase(0, 1);
      if (!host.empty() && host.back() == ']') host.pop_back();
    }
  }
  if (!valid || host.empty()) {
    fail(CRaiser::of(*this), kModule, "CEndpoint::set", "Cannot create endpoint.",
         {"Text '%1' is not a valid ip address or host name.", text});
  }

  const std::uint16_t port = readPort(portText);
  CIPAddress address;
  if (CIPAddress::tryParse(host, address)) {
    ip_address(address);
  } else {
    _resolve(host);
  }
  this->port(port);
}

void CEndpoint::_resolve(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* list = nullptr;
  const bool queried = host.find('\0') == std::string::npos &&
                       getaddrinfo(host.c_str(), nullptr, &hints, &list) == 0;
  const std::unique_ptr<addrinfo, AddrInfoDeleter> owner(list);
  for (const addrinfo* entry = queried ? list : nullptr; entry != nullptr; entry = entry->ai_next) {
    if (entry->ai_family == AF_INET || entry->ai_family == AF_INET6) {
      *this = CEndpoint(entry->ai_addr, entry->ai_addrlen);
      return;
    }
  }
  fail(CRaiser::of(*this), kModule, "CEndpoint::set", {"Failed to resolve host name '%1'.", host},
       "Name does not resolve.");
}

int CEndpoint::protocol_family() const {
  switch (_kind()) {
    case Kind::kV4:
      return AF_INET;
    case Kind::kV6:
      return AF_INET6;
    default:
      fail(CRaiser::of(*this), kModule, "CEndpoint::protocol_family",
           "Cannot resolve protocol family.", "Unknown protocol family.");
  }
}

CIPAddress CEndpoint::ip_address() const {
  CIPAddress address;
  const Kind kind = _kind();
  if (kind == Kind::kV4) {
    const auto* in4 = static_cast<const sockaddr_in*>(get_addr());
    address.set(reinterpret_cast<const unsigned char*>(&in4->sin_addr), 4);
  } else if (kind == Kind::kV6) {
    const auto* in6 = static_cast<const sockaddr_in6*>(get_addr());
    address.set(in6->sin6_addr.s6_addr, 16);
  } else {
    fail(CRaiser::of(*this), kModule, "CEndpoint::ip_address",
         "Cannot resolve endpoint ip address.", "Unknown protocol family.");
  }
  return address;
}

void CEndpoint::ip_address(const CIPAddress& address) {
  const std::uint16_t keptPort = port();
  if (address.addressType() == CIPAddress::kIPv4) {
    sockaddr_in in4{};
    in4.sin_family = AF_INET;
    std::memcpy(&in4.sin_addr, address.raw_addr(), 4);
    _assignSockaddr(&in4, sizeof in4, AF_INET);
  } else if (address.addressType() == CIPAddress::kIPv6) {
    sockaddr_in6 in6{};
    in6.sin6_family = AF_INET6;
    std::memcpy(in6.sin6_addr.s6_addr, address.raw_addr(), 16);
    _assignSockaddr(&in6, sizeof in6, AF_INET6);
  } else {
    fail(CRaiser::of(*this), kModule, "CEndpoint::ip_address", "Cannot set endpoint address.",
         "Unknown ip address type.");
  }
  port(keptPort);
}

std::uint16_t CEndpoint::port() const {
  std::uint16_t networkOrder = 0;
  std::memcpy(&networkOrder, static_cast<const char*>(get_addr()) + kPortOffset, 2);
  return ntohs(networkOrder);
}

void CEndpoint::port(std::uint16_t value) {
  const std::uint16_t networkOrder = htons(value);
  std::memcpy(static_cast<char*>(get_addr()) + kPortOffset, &networkOrder, 2);
}

std::string CEndpoint::string() const {
  switch (_kind()) {
    case Kind::kV4:
      return ip_address().string() + ":" + std::to_string(port());
    case Kind::kV6:
      return "[" + ip_address().string() + "]:" + std::to_string(port());
    default:
      return std::string();
  }
}

void CEndpoint::string(const std::string& text) {
  set(text);
}

bool CEndpoint::operator==(const CEndpoint& other) const {
  const Kind kind = _kind();
  if (kind != other._kind() || port() != other.port()) return false;
  return kind == Kind::kEmpty || ip_address() == other.ip_address();
}

const void* CEndpoint::rawSockaddr() const {
  return get_addr();
}

std::size_t CEndpoint::rawSockaddrLen() const {
  return _kind() == Kind::kEmpty ? 0 : static_cast<std::size_t>(get_size());
}

}  // namespace qvt
