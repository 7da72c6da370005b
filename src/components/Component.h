// A late-bound component: members and properties called by name, without regard to case.
#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>

namespace zostore::components {

class Component {
public:
    explicit Component(QString progId) : m_progId(std::move(progId)) {}
    virtual ~Component() = default;
    Component(const Component &) = delete;
    Component &operator=(const Component &) = delete;

    const QString &progId() const { return m_progId; }

    // Throws zostore::Error when the member does not exist or the arguments do not fit.
    virtual QVariant invoke(const QString &member, const QVariantList &args = {});
    virtual QVariant property(const QString &name) const;
    bool hasMember(const QString &name) const;

protected:
    using Method = std::function<QVariant(const QVariantList &)>;
    using Getter = std::function<QVariant()>;
    // minArgs..maxArgs arguments are accepted; the method sees missing optional ones as absent.
    void addMethod(const QString &name, int minArgs, int maxArgs, Method m);
    void addProperty(const QString &name, Getter g);

private:
    struct Entry {
        QString name;
        int minArgs;
        int maxArgs;
        Method method;
    };
    QString m_progId;
    QHash<QString, Entry> m_methods; // lower-cased name
    QHash<QString, Getter> m_properties;
};

// Argument helpers for late-bound calls.
QString argText(const QVariantList &args, int i);
int argInt(const QVariantList &args, int i);
bool argBool(const QVariantList &args, int i);
QObject *argObject(const QVariantList &args, int i);

} // namespace zostore::components
