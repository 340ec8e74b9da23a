// CSystemBusFactory: the reference host's "System Bus" plugin.
//
// It offers the interface "CISystemBusFactory" that other plugins (the
// expression evaluator among them) name as a dependency; in this host the bus
// carries nothing, so every life-cycle step succeeds and does nothing.
#pragma once

#include "class_a/extended/CPlugin.h"

namespace qvt::host {

class CSystemBusFactory : public CPlugin {
 public:
  CSystemBusFactory() = default;
  ~CSystemBusFactory() override;

  // prepare: true.
  bool prepare(const CPluginList& plugins) override;
  // initialize: 0.
  std::int32_t initialize() override;
  void finalize() override;
  void configure() override;
  void reconfigure() override;
  // name: "System Bus".
  std::string name() const override;
  // version: kPluginInterfaceVersion.
  std::int32_t version() const override;
  // types: "CISystemBusFactory,CPlugin".
  std::string types() const override;
};

}  // namespace qvt::host
