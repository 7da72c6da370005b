// Late binding by member name.
#include "components/Component.h"

#include "db/Error.h"

namespace zostore::components {

void Component::addMethod(const QString &name, int minArgs, int maxArgs, Method m) {
    m_methods.insert(name.toLower(), {name, minArgs, maxArgs, std::move(m)});
}

void Component::addProperty(const QString &name, Getter g) { m_properties.insert(name.toLower(), std::move(g)); }

bool Component::hasMember(const QString &name) const {
    return m_methods.contains(name.toLower()) || m_properties.contains(name.toLower());
}

QVariant Component::invoke(const QString &member, const QVariantList &args) {
    const auto it = m_methods.constFind(member.toLower());
    if (it == m_methods.cend()) {
        // A property read through the call syntax, as late binding allows.
        const auto prop = m_properties.constFind(member.toLower());
        if (prop != m_properties.cend() && args.isEmpty())
            return (*prop)();
        throw Error(QStringLiteral("对象 %1 不支持此属性或方法：%2").arg(m_progId, member));
    }
    if (args.size() < it->minArgs || args.size() > it->maxArgs)
        throw Error(QStringLiteral("调用 %1.%2 的参数个数不对").arg(m_progId, it->name));
    return it->method(args);
}

QVariant Component::property(const QString &name) const {
    const auto it = m_properties.constFind(name.toLower());
    if (it == m_properties.cend())
        throw Error(QStringLiteral("对象 %1 不支持此属性或方法：%2").arg(m_progId, name));
    return (*it)();
}

QString argText(const QVariantList &args, int i) { return args.value(i).toString(); }

int argInt(const QVariantList &args, int i) {
    bool ok = false;
    const int v = args.value(i).toInt(&ok);
    if (!ok)
        throw Error(QStringLiteral("参数 %1 不是整数：%2").arg(i + 1).arg(args.value(i).toString()));
    return v;
}

bool argBool(const QVariantList &args, int i) { return args.value(i).toBool(); }

QObject *argObject(const QVariantList &args, int i) { return args.value(i).value<QObject *>(); }

} // namespace zostore::components
