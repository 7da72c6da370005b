// ProgID registry and plug-in loading.
#include "components/Registry.h"

#include "components/ComponentPlugin.h"
#include "db/Error.h"

#include <QDir>
#include <QPluginLoader>

namespace zostore::components {

Registry &Registry::instance() {
    static Registry r;
    return r;
}

void Registry::registerFactory(const QString &progId, Factory factory) {
    m_factories[progId.toLower()].push_back(std::move(factory));
}

void Registry::removeFactory(const QString &progId) {
    auto it = m_factories.find(progId.toLower());
    if (it == m_factories.end())
        return;
    it->pop_back();
    if (it->empty())
        m_factories.erase(it);
}

bool Registry::isInstalled(const QString &progId) const { return m_factories.contains(progId.toLower()); }

QStringList Registry::progIds() const { return m_factories.keys(); }

std::shared_ptr<Component> Registry::create(const QString &progId) const {
    const auto it = m_factories.constFind(progId.toLower());
    if (it == m_factories.cend())
        throw Error(QStringLiteral("未安装组件 ") + progId, Error::NotInstalled);
    std::shared_ptr<Component> c = it->back()();
    if (!c)
        throw Error(QStringLiteral("未安装组件 ") + progId, Error::NotInstalled);
    return c;
}

QStringList Registry::loadPlugins(const QString &folder) {
    QStringList failures;
    const QDir dir(folder);
    if (!dir.exists())
        return failures;
    for (const QString &file : dir.entryList(QDir::Files)) {
        const QString path = dir.absoluteFilePath(file);
        if (!QLibrary::isLibrary(path))
            continue;
        auto loader = std::make_unique<QPluginLoader>(path);
        auto *plugin = qobject_cast<ComponentPlugin *>(loader->instance());
        if (!plugin) {
            failures << path + QStringLiteral("：") + loader->errorString();
            continue;
        }
        m_loaders.push_back(std::move(loader));
        for (const QString &id : plugin->progIds())
            registerFactory(id, [plugin, id] { return plugin->create(id); });
    }
    return failures;
}

std::shared_ptr<Component> createObject(const QString &progId) { return Registry::instance().create(progId); }

ScopedFactory::ScopedFactory(QString progId, Factory factory) : m_progId(std::move(progId)) {
    Registry::instance().registerFactory(m_progId, std::move(factory));
}

ScopedFactory::~ScopedFactory() { Registry::instance().removeFactory(m_progId); }

QString componentsFolder(const QString &programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("components"));
}

} // namespace zostore::components
