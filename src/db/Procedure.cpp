// Procedure registry and argument checks.
#include "db/Procedure.h"

#include "db/Error.h"

namespace zostore::db {

ProcArgs &ProcArgs::add(const QString &name, ParamType type, const QVariant &value) {
    m_items.push_back({ParamSpec{name, type}, value});
    return *this;
}

bool ProcArgs::has(const QString &name) const {
    for (const auto &[param, v] : m_items)
        if (param.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QVariant ProcArgs::value(const QString &name) const {
    for (const auto &[param, v] : m_items)
        if (param.name.compare(name, Qt::CaseInsensitive) == 0)
            return v;
    throw Error(QStringLiteral("缺少参数 %1。").arg(name));
}

int ProcArgs::toInt(const QString &name) const { return static_cast<int>(Recordset::doubleOf(value(name))); }
double ProcArgs::toDouble(const QString &name) const { return Recordset::doubleOf(value(name)); }
bool ProcArgs::toBool(const QString &name) const { return Recordset::doubleOf(value(name)) != 0.0; }
QString ProcArgs::text(const QString &name) const { return Recordset::textOf(value(name)); }
QDateTime ProcArgs::toDateTime(const QString &name) const { return Recordset::dateTimeOf(value(name)); }

ProcedureRegistry &ProcedureRegistry::instance() {
    static ProcedureRegistry registry;
    return registry;
}

void ProcedureRegistry::add(ProcedureDef def) {
    for (auto &d : m_defs)
        if (d.name.compare(def.name, Qt::CaseInsensitive) == 0) {
            d = std::move(def);
            return;
        }
    m_defs.push_back(std::move(def));
}

const ProcedureDef *ProcedureRegistry::find(const QString &name) const {
    for (const auto &d : m_defs)
        if (d.name.compare(name, Qt::CaseInsensitive) == 0)
            return &d;
    return nullptr;
}

QStringList ProcedureRegistry::names() const {
    QStringList list;
    for (const auto &d : m_defs)
        list << d.name;
    return list;
}

namespace {

bool fits(ParamType type, const QVariant &v) {
    if (v.isNull())
        return true;
    bool ok = true;
    switch (type) {
    case ParamType::Integer:
    case ParamType::SmallInt: {
        const double d = v.typeId() == QMetaType::QString ? v.toString().toDouble(&ok) : v.toDouble(&ok);
        if (!ok || d != static_cast<double>(static_cast<qint64>(d)))
            return false;
        return type == ParamType::Integer ? (d >= -2147483648.0 && d <= 2147483647.0) : (d >= -32768 && d <= 32767);
    }
    case ParamType::Boolean:
    case ParamType::Double:
        if (v.typeId() == QMetaType::QString)
            v.toString().toDouble(&ok);
        else
            v.toDouble(&ok);
        return ok || v.typeId() == QMetaType::Bool;
    case ParamType::Text:
        return true;
    case ParamType::Date:
        return Recordset::dateTimeOf(v).isValid();
    }
    return false;
}

} // namespace

void validateArgs(const ProcedureDef &def, const ProcArgs &args) {
    for (const auto &[param, v] : args.items()) {
        const auto it = std::find_if(def.params.begin(), def.params.end(), [&](const ParamSpec &p) {
            return p.name.compare(param.name, Qt::CaseInsensitive) == 0;
        });
        if (it == def.params.end())
            throw Error(QStringLiteral("存储过程 %1 没有参数 %2。").arg(def.name, param.name));
        if (!fits(it->type, v))
            throw Error(QStringLiteral("存储过程 %1 的参数 %2 的值无效。").arg(def.name, param.name));
    }
    for (const auto &p : def.params)
        if (!args.has(p.name))
            throw Error(QStringLiteral("存储过程 %1 缺少参数 %2。").arg(def.name, p.name));
}

} // namespace zostore::db
