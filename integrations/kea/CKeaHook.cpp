#include "integrations/kea/CKeaHook.h"

#include <dhcp/iface_mgr.h>

#include <utility>

#include "class_a/standard/Fail.h"
#include "class_a/standard/Severity.h"
#include "host/SharedServerKey.h"
#include "host/exchange/CProvisioningRules.h"
#include "host/kvstore/KeyValueStores.h"
#include "integrations/kea/HookMessages.h"
#include "integrations/kea/KeaOptionValue.h"

namespace qvt::kea {

namespace {

constexpr const char* kModule = "kea-hook";
constexpr const char* kOperation = "CKeaHook::CKeaHook";

CIPAddress addressOf(const isc::asiolink::IOAddress& address) {
  return CIPAddress(address.toText());
}

// parameterValue: read(), its failure raised again naming the parameter.
template <class F>
auto parameterValue(const char* parameter, F&& read) {
  try {
    return read();
  } catch (const CException& e) {
    fail(CRaiser::none(), kModule, kOperation,
         {"Parameter '%1' has a value that cannot be used.", parameter}, e.text());
  }
}

}  // namespace

CKeaHook::CKeaHook(CHookSettings settings, int family)
    : settings_(std::move(settings)),
      workers_([this] { return std::make_unique<CHookWorker>(shared_); }),
      classThrottles_(std::make_unique<CFailureThrottle[]>(settings_.classes.size())),
      optionThrottles_(std::make_unique<CFailureThrottle[]>(settings_.options.size())) {
  settings_.resolve();
  const host::CKeyErrors keyErrors{CRaiser::none(), kModule, kOperation};
  if (settings_.sharedServerKeyFile.empty()) {
    host_ = std::make_unique<CKeaHost>(host::randomKey(keyErrors));
    host_->log(host::defaultKeyWarning("shared-server-key-file"), kModule, kSeverityWarning);
  } else {
    host_ = std::make_unique<CKeaHost>(host::readKeyFile(settings_.sharedServerKeyFile, keyErrors));
  }
  if (settings_.serverIp) {
    serverIp_ = parameterValue("server-ip", [&] { return CIPAddress(*settings_.serverIp); });
  }
  if (!settings_.rulesFile.empty()) {
    shared_.rules = std::make_shared<const host::CProvisioningRules>(
        host::CProvisioningRules::readFile(settings_.rulesFile));
  }
  if (!settings_.keyValueDatabase.empty()) {
    host::CKeyValueStoreOptions options;
    options.timeout = settings_.dbTimeout;
    store_ = host::openKeyValueStore(settings_.keyValueDatabase, options);
  }
  module_ = std::make_unique<CEvaluatorModule>(*host_, settings_.module, settings_.systemBusModule);

  shared_.family = family;
  shared_.host = host_.get();
  shared_.factory = &module_->factory();
  shared_.store = store_.get();
  shared_.dictionaries = settings_.dictionaries;
  shared_.vendorFile = settings_.vendorFile;
  shared_.classes = settings_.classes;
  shared_.options = settings_.options;
  // The loading thread's worker compiles every expression now, so a faulty
  // one refuses the load.
  workers_.adopt(std::make_unique<CHookWorker>(shared_));
}

CKeaHook::~CKeaHook() = default;

CIPAddress CKeaHook::_localAddressOf(const isc::dhcp::Pkt& query) const {
  const isc::asiolink::IOAddress& local = query.getLocalAddr();
  const bool shared = local.isV4() ? local.isV4Bcast() || local.isV4Zero()
                                   : local.isV6Multicast() || local.isV6Zero();
  if (shared) {
    // A broadcast or multicast query: the receiving interface's address.
    const isc::dhcp::IfacePtr iface = isc::dhcp::IfaceMgr::instance().getIface(query.getIface());
    if (iface && local.isV4()) {
      isc::asiolink::IOAddress address = isc::asiolink::IOAddress::IPV4_ZERO_ADDRESS();
      if (iface->getAddress4(address)) return addressOf(address);
    } else if (iface) {
      for (const isc::dhcp::Iface::Address& address : iface->getAddresses()) {
        if (address.get().isV6()) return addressOf(address.get());
      }
    }
  }
  return addressOf(local);
}

host::CNodeSettings CKeaHook::_nodeOf(const isc::dhcp::Pkt& query) const {
  host::CNodeSettings node;
  node.serverAddress = serverIp_ ? *serverIp_ : _localAddressOf(query);
  node.peerAddress = addressOf(query.getRemoteAddr());
  node.interfaces.push_back(query.getIface());
  return node;
}

void CKeaHook::_packetFailed(const std::string& text) {
  std::uint64_t held = 0;
  if (packetThrottle_.admit(CFailureThrottle::Clock::now(), held)) {
    hookLogger().warn(kMsgPacketFailed).arg(text).arg(held);
  }
}

void CKeaHook::calloutFailed(const std::string& callout, const std::string& text) {
  std::uint64_t held = 0;
  if (calloutThrottle_.admit(CFailureThrottle::Clock::now(), held)) {
    hookLogger().error(kMsgCalloutFailed).arg(callout).arg(text).arg(held);
  }
}

void CKeaHook::receive(isc::dhcp::Pkt& query) {
  if (settings_.classes.empty()) return;
  const std::vector<CEvaluation>* outcomes = nullptr;
  try {
    outcomes = &workers_.local().classify(query.data_.data(), query.data_.size(), _nodeOf(query));
  } catch (const CException& e) {
    _packetFailed(e.text());
    return;
  }
  std::string added;
  for (std::size_t i = 0; i < outcomes->size(); ++i) {
    const CEvaluation& outcome = (*outcomes)[i];
    const CClassSetting& entry = settings_.classes[i];
    if (outcome.error) {
      std::uint64_t held = 0;
      if (classThrottles_[i].admit(CFailureThrottle::Clock::now(), held)) {
        hookLogger()
            .warn(kMsgClassFailed)
            .arg(entry.name)
            .arg(entry.expression)
            .arg(*outcome.error)
            .arg(held);
      }
    } else if (outcome.member()) {
      query.addClass(entry.name);
      added += (added.empty() ? "" : ", ") + entry.name;
    }
  }
  if (hookLogger().isDebugEnabled(kDebugDetail)) {
    hookLogger()
        .debug(kDebugDetail, kMsgClassified)
        .arg(query.getLabel())
        .arg(query.getRemoteAddr().toText())
        .arg(added.empty() ? "(none)" : added);
  }
}

std::vector<std::uint8_t> CKeaHook::wireOf(isc::dhcp::Pkt& response) {
  response.pack();
  isc::util::OutputBuffer& buffer = response.getBuffer();
  const auto* data = static_cast<const std::uint8_t*>(buffer.getData());
  std::vector<std::uint8_t> wire(data, data + buffer.getLength());
  buffer.clear();
  return wire;
}

void CKeaHook::send(const isc::dhcp::Pkt& query, isc::dhcp::Pkt& response) {
  if (settings_.options.empty()) return;
  const std::vector<CEvaluation>* outcomes = nullptr;
  try {
    outcomes = &workers_.local().computeOptions(query.data_, wireOf(response), _nodeOf(query));
  } catch (const CException& e) {
    _packetFailed(e.text());
    return;
  }
  const isc::dhcp::Option::Universe universe =
      shared_.family == 4 ? isc::dhcp::Option::V4 : isc::dhcp::Option::V6;
  for (std::size_t i = 0; i < outcomes->size(); ++i) {
    const CEvaluation& outcome = (*outcomes)[i];
    const COptionSetting& entry = settings_.options[i];
    if (!outcome.error && !outcome.value.isKnown()) continue;
    std::optional<std::string> error = outcome.error;
    if (!error) {
      try {
        const isc::dhcp::OptionPtr option = keaOption(universe, entry.code, outcome.value);
        while (response.delOption(entry.code)) {
        }
        response.addOption(option);
        if (hookLogger().isDebugEnabled(kDebugDetail)) {
          hookLogger()
              .debug(kDebugDetail, kMsgOptionSet)
              .arg(response.getLabel())
              .arg(entry.code)
              .arg(option->toText());
        }
      } catch (const CException& e) {
        error = e.text();
      }
    }
    std::uint64_t held = 0;
    if (error && optionThrottles_[i].admit(CFailureThrottle::Clock::now(), held)) {
      hookLogger()
          .warn(kMsgOptionFailed)
          .arg(entry.code)
          .arg(entry.expression)
          .arg(*error)
          .arg(held);
    }
  }
}

}  // namespace qvt::kea
