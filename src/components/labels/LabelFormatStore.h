// Print formats in TDBill of one type (51 labels, or a bill kind): listed, read, saved, removed and marked
// as preferred.
#pragma once

#include "components/labels/LabelFormat.h"

#include <QList>

namespace zostore::db {
class Connection;
}

namespace zostore::components::labels {

inline constexpr int LabelTranType = 51;

// Labels and the bill kinds of billFormatTypes() have formats; any other type throws.
void requireFormatType(int tranType);

struct FormatEntry {
    QString name;
    bool selected = false;
};

class LabelFormatStore {
public:
    explicit LabelFormatStore(db::Connection &conn, int tranType = LabelTranType);

    QList<FormatEntry> list() const;
    bool exists(const QString &name) const;
    LabelFormat load(const QString &name) const;
    // Saves under format.name; originalName is the name it was loaded under (empty for a new one).
    void save(const LabelFormat &format, const QString &originalName);
    void remove(const QString &name);
    void select(const QString &name);

private:
    QString what() const;
    db::Connection &m_conn;
    int m_type;
};

} // namespace zostore::components::labels
