// Label formats (transaction type 51) in TDBill: listed, read, saved, removed and marked as preferred.
#pragma once

#include "components/labels/LabelFormat.h"

#include <QList>

namespace zostore::db {
class Connection;
}

namespace zostore::components::labels {

inline constexpr int LabelTranType = 51;

// Only label formats are handled here; bill print formats belong to a module this program does not have.
void requireLabelType(int tranType);

struct FormatEntry {
    QString name;
    bool selected = false;
};

class LabelFormatStore {
public:
    explicit LabelFormatStore(db::Connection &conn);

    QList<FormatEntry> list() const;
    bool exists(const QString &name) const;
    LabelFormat load(const QString &name) const;
    // Saves under format.name; originalName is the name it was loaded under (empty for a new one).
    void save(const LabelFormat &format, const QString &originalName);
    void remove(const QString &name);
    void select(const QString &name);

private:
    db::Connection &m_conn;
};

} // namespace zostore::components::labels
