// Interface of a Qt plug-in that provides components by ProgID.
#pragma once

#include "components/Component.h"

#include <QStringList>
#include <QtPlugin>
#include <memory>

namespace zostore::components {

class ComponentPlugin {
public:
    virtual ~ComponentPlugin() = default;
    virtual QStringList progIds() const = 0;
    virtual std::shared_ptr<Component> create(const QString &progId) = 0;
};

} // namespace zostore::components

#define ZoStoreComponentPlugin_iid "org.zostore.ComponentPlugin/1.0"
Q_DECLARE_INTERFACE(zostore::components::ComponentPlugin, ZoStoreComponentPlugin_iid)
