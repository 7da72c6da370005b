// Items matching a typed text by code, name, quick code or any barcode, optionally within a group and its
// subgroups.
#pragma once

#include <QString>
#include <QVector>

namespace zostore::db {
class Connection;
}

namespace zostore::components::items {

struct ItemRow {
    QString number;
    QString name;
    QString model;
    QString unit;
    QString quickNumber;
    QString barcode;
    int itemId = 0;
};

// An empty text lists every item; groupId 0 means all groups. Deleted items are left out.
QVector<ItemRow> searchItems(db::Connection &conn, const QString &text, int groupId = 0);

// The same match over rows read once, for filtering while the user types.
class ItemIndex {
public:
    void load(db::Connection &conn, int groupId = 0);
    const QVector<ItemRow> &rows() const { return m_rows; }
    // Positions in rows() of the matching items, in code order. A text that extends the previous
    // one only narrows the previous answer.
    const QVector<int> &match(const QString &text);

private:
    QVector<ItemRow> m_rows;
    // The lower-cased texts searchItems compares, every item's after the other, so that one pass of a
    // matcher finds them all; m_start[i] is where item i begins, with one more entry at the end.
    QString m_text;
    QVector<qsizetype> m_start;
    QString m_lastText;
    QVector<int> m_last;
};

} // namespace zostore::components::items
