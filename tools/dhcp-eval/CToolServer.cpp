#include "tools/dhcp-eval/CToolServer.h"

#include <utility>

#include "class_a/standard/Fail.h"
#include "host/CHostOptionFactory.h"
#include "host/COptionDictionary.h"
#include "host/CVendorFile.h"
#include "host/kvstore/KeyValueStores.h"

namespace qvt::tool {

namespace {

// withOption: runs read; its failure is raised again with the option named
// in front of the reason, so the user knows which value is wrong.
template <class F>
auto withOption(const char* option, F&& read) {
  try {
    return read();
  } catch (const CException& e) {
    fail(CRaiser::none(), "dhcp-eval", "CToolServer::CToolServer",
         {"Option '%1' has a value that cannot be used.", option}, e.text());
  }
}

}  // namespace

CToolServer::CToolServer(const CToolServerOptions& options, std::ostream& log)
    : family_(options.family), host_(log) {
  if (!options.keyFile.empty()) host_.loadKeyFile(options.keyFile);
  if (options.quietKey) host_.setDefaultKeyWarning(false);

  CVendorFile vendors;
  if (options.vendorsFile.empty()) {
    vendors.load(COptionDictionary::defaultDirectory(), "vendors.defs");
  } else {
    vendors.load(".", options.vendorsFile);
  }
  server_ = std::make_unique<host::CHostServer>(vendors);

  node_.serverAddress = CIPAddress(static_cast<std::uint32_t>(family_));
  if (options.serverIp) {
    node_.serverAddress = withOption("--server-ip", [&] { return CIPAddress(*options.serverIp); });
  }
  if (options.deviceId) {
    node_.deviceId = withOption("--device-id", [&] { return CHexStore(*options.deviceId); });
  }
  node_.accountName = options.account;

  if (!options.rulesFile.empty()) {
    rules_ = std::make_shared<const host::CProvisioningRules>(
        host::CProvisioningRules::readFile(options.rulesFile));
  }
  if (!options.kvDatabase.empty()) {
    host::CKeyValueStoreOptions storeOptions;
    storeOptions.timeout = std::chrono::milliseconds(options.dbTimeoutMs);
    store_ = host::openKeyValueStore(options.kvDatabase, storeOptions);
  }
  decoder_ = std::make_unique<CPacketDecoder>(server_->vendorHolder());
  plugin_ = std::make_unique<CEvaluatorPlugin>(host_, options.module);
}

CToolServer::~CToolServer() = default;

CGeneralPtr<COption> CToolServer::emptyMessage() const {
  return makeMessageRoot(static_cast<std::uint32_t>(family_));
}

std::unique_ptr<host::CHostExchange> CToolServer::exchange(CGeneralPtr<COption> request,
                                                           CGeneralPtr<COption> reply) {
  const host::CHostServices services{&host_, &plugin_->factory(), server_.get(), store_.get(),
                                     rules_};
  return std::make_unique<host::CHostExchange>(services,
                                               CProtocolFamily(static_cast<std::uint32_t>(family_)),
                                               std::move(request), std::move(reply), node_);
}

}  // namespace qvt::tool
