// A component plug-in for the registry test.
#include "components/ComponentPlugin.h"

#include <QObject>

namespace {

class EchoComponent : public zostore::components::Component {
public:
    EchoComponent() : Component(QStringLiteral("Test.Echo")) {
        addMethod(QStringLiteral("Echo"), 1, 1, [](const QVariantList &a) { return a.at(0); });
    }
};

} // namespace

class EchoPlugin : public QObject, public zostore::components::ComponentPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ZoStoreComponentPlugin_iid)
    Q_INTERFACES(zostore::components::ComponentPlugin)
public:
    QStringList progIds() const override { return {QStringLiteral("Test.Echo")}; }
    std::shared_ptr<zostore::components::Component> create(const QString &) override {
        return std::make_shared<EchoComponent>();
    }
};

#include "EchoPlugin.moc"
