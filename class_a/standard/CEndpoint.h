// CEndpoint: an IP address with a port, held as the system's socket address.
//
// The socket address lives inside ACE_INET_Addr: a sockaddr_in (16 bytes) for
// IPv4 or a sockaddr_in6 (28 bytes) for IPv6; the size tells the family. An
// empty endpoint (the default) has size 0 and family AF_UNSPEC: it has no
// address, its port reads 0 (or whatever port() last stored), its text is
// empty, and it equals only another empty endpoint with the same port.
//
//   CEndpoint e("[fe80::1]:547");
//   e.port();      // 547
//   e.string();    // "[fe80::1]:547"
//   CEndpoint("localhost:67");   // resolved through the system resolver
//
// Copies never touch the heap. Failures raise qvt::CException with module
// "standard".
#pragma once

#include <ace/INET_Addr.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "class_a/standard/CIPAddress.h"
#include "class_a/standard/CObject.h"

struct sockaddr;

namespace qvt {

class CEndpoint : public ACE_INET_Addr, public CObject {
 public:
  // An empty endpoint.
  CEndpoint();
  // `address` with `port`. Raises "Cannot set endpoint address." (operation
  // "CEndpoint::ip_address") for an address of no type.
  CEndpoint(const CIPAddress& address, std::uint16_t port);
  // A copy of a socket address of family AF_INET or AF_INET6, `length` bytes
  // long. Raises "Cannot construct endpoint." (operation "CEndpoint::CEndpoint")
  // for a null pointer, another family or a too short length.
  CEndpoint(const sockaddr* address, std::size_t length);
  // Parses `text` as set() does; raises as set().
  explicit CEndpoint(const std::string& text);
  CEndpoint(const CEndpoint& other);
  CEndpoint& operator=(const CEndpoint& other);
  ~CEndpoint() override;

  // set: reads "host", "host:port", "[ipv6]" or "[ipv6]:port" (a missing port
  // is 0; the port is read with atoi rules and kept to 16 bits). A host that
  // is no address is resolved by the system resolver and its first address
  // taken. An unbracketed text with several ":" is taken whole as an IPv6
  // address when it is one, otherwise split at the last ":". Raises "Cannot
  // create endpoint." (operation "CEndpoint::set") when no host can be taken,
  // and "Failed to resolve host name '%1'." when the name does not resolve.
  void set(const std::string& text);

  // protocol_family: AF_INET or AF_INET6. Raises "Cannot resolve protocol
  // family." (operation "CEndpoint::protocol_family") for an empty endpoint.
  int protocol_family() const;

  // ip_address: the address. Raises "Cannot resolve endpoint ip address."
  // (operation "CEndpoint::ip_address") for an empty endpoint.
  CIPAddress ip_address() const;
  // ip_address(address): replaces the address (and family), keeping the port.
  // Raises "Cannot set endpoint address." for an address of no type.
  void ip_address(const CIPAddress& address);

  // port: the port in host order.
  std::uint16_t port() const;
  // port(value): sets the port, keeping the address.
  void port(std::uint16_t value);

  // string: "10.0.0.1:67", "[fe80::1]:547", or "" for an empty endpoint.
  std::string string() const override;
  // string(text): as set().
  void string(const std::string& text) override;

  // isEmpty: no address held.
  bool isEmpty() const;

  // Equality: same family, same address bytes and same port.
  bool operator==(const CEndpoint& other) const;
  bool operator!=(const CEndpoint& other) const { return !(*this == other); }

  // rawSockaddr: the held sockaddr_in or sockaddr_in6 (rawSockaddrLen() bytes).
  const void* rawSockaddr() const;
  // rawSockaddrLen: 16 (IPv4), 28 (IPv6) or 0 (empty).
  std::size_t rawSockaddrLen() const;

 private:
  enum class Kind { kEmpty, kV4, kV6 };
  Kind _kind() const;
  void _makeEmpty();
  void _assignSockaddr(const void* address, std::size_t length, int family);
  void _resolve(const std::string& host);
};

}  // namespace qvt
