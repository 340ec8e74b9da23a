// CProvisioned: what the server knows about the provisioning of the device
// behind an exchange. The evaluators read only the account name
// ($PROV.ACCNAME); the other fields are the host's.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>

class CProvisioned {
 public:
  CProvisioned() = default;
  CProvisioned(const CProvisioned&) = default;
  CProvisioned& operator=(const CProvisioned&) = default;
  virtual ~CProvisioned();

  // id: the provisioning record's number; -1 when there is none.
  std::int64_t id() const { return id_; }
  void setId(std::int64_t id) { id_ = id; }
  // accountName: the account the device is provisioned under (empty: none).
  const std::string& accountName() const { return accountName_; }
  void setAccountName(std::string name) { accountName_ = std::move(name); }
  // attributes: the host's named provisioning values.
  const std::map<std::string, std::string>& attributes() const { return attributes_; }
  std::map<std::string, std::string>& attributes() { return attributes_; }
  // accessToken: the device's access token (opaque to the evaluators).
  const std::string& accessToken() const { return accessToken_; }
  void setAccessToken(std::string token) { accessToken_ = std::move(token); }
  // events: the host's queue of provisioning events for the device.
  const std::deque<std::string>& events() const { return events_; }
  std::deque<std::string>& events() { return events_; }

 private:
  std::int64_t id_ = -1;
  std::string accountName_;
  std::map<std::string, std::string> attributes_;
  std::string accessToken_;
  std::deque<std::string> events_;
};
