// Stored procedures: C++ functions registered by name, called with typed named parameters.
#pragma once

#include "db/Recordset.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

namespace zostore::db {

class Connection;

enum class ParamType { Integer, SmallInt, Boolean, Double, Text, Date };

struct ParamSpec {
    QString name; // with the leading "@"
    ParamType type;
};

// Arguments of one call, in the caller's order, looked up by name without regard to case.
class ProcArgs {
public:
    ProcArgs &add(const QString &name, ParamType type, const QVariant &value);
    QVariant value(const QString &name) const; // throws when absent
    bool has(const QString &name) const;
    int toInt(const QString &name) const;
    double toDouble(const QString &name) const;
    bool toBool(const QString &name) const;
    QString text(const QString &name) const;
    QDateTime toDateTime(const QString &name) const;
    const std::vector<std::pair<ParamSpec, QVariant>> &items() const { return m_items; }

private:
    std::vector<std::pair<ParamSpec, QVariant>> m_items;
};

struct ProcedureDef {
    QString name;
    std::vector<ParamSpec> params;
    // Runs inside the caller's transaction; rows it returns go back to the caller.
    std::function<Recordset(Connection &, const ProcArgs &)> body;
    bool locksBooks = false; // runs under the account-set lock
};

class ProcedureRegistry {
public:
    static ProcedureRegistry &instance();
    void add(ProcedureDef def);
    const ProcedureDef *find(const QString &name) const;
    QStringList names() const;

private:
    std::vector<ProcedureDef> m_defs;
};

// Checks the arguments against the definition: names, types, nothing missing or extra.
void validateArgs(const ProcedureDef &def, const ProcArgs &args);

} // namespace zostore::db
