// Components created by ProgID: built-ins, Qt plug-ins from the components folder, and test fakes.
#pragma once

#include "components/Component.h"

#include <QHash>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

QT_BEGIN_NAMESPACE
class QPluginLoader;
QT_END_NAMESPACE

namespace zostore::components {

using Factory = std::function<std::shared_ptr<Component>()>;

class Registry {
public:
    static Registry &instance();

    // A later registration of the same ProgID hides the earlier one until it is removed.
    void registerFactory(const QString &progId, Factory factory);
    // Removes the latest registration of the ProgID.
    void removeFactory(const QString &progId);
    bool isInstalled(const QString &progId) const;
    QStringList progIds() const;

    // Throws zostore::Error (Error::NotInstalled) "未安装组件 <ProgID>" when nothing provides it.
    std::shared_ptr<Component> create(const QString &progId) const;

    // Loads every plug-in of the folder; returns the files that failed, with the reason.
    QStringList loadPlugins(const QString &folder);

private:
    QHash<QString, std::vector<Factory>> m_factories; // lower-cased ProgID
    // Loaders stay for the process: components may be created at any time.
    std::vector<std::unique_ptr<QPluginLoader>> m_loaders;
};

std::shared_ptr<Component> createObject(const QString &progId);

// Registers a factory for one scope (tests) and removes it again.
class ScopedFactory {
public:
    ScopedFactory(QString progId, Factory factory);
    ~ScopedFactory();
    ScopedFactory(const ScopedFactory &) = delete;
    ScopedFactory &operator=(const ScopedFactory &) = delete;

private:
    QString m_progId;
};

// Folder of component plug-ins: "components" in the program folder.
QString componentsFolder(const QString &programFolder);

} // namespace zostore::components
