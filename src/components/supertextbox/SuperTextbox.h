// Text box with a history of entered texts, a drop-down list filled on demand, and keyed entries.
#pragma once

#include <QWidget>

class QComboBox;

namespace zostore::db {
class Connection;
}

namespace zostore::components {

class SuperTextbox : public QWidget {
    Q_OBJECT
public:
    explicit SuperTextbox(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    void setPlaceholderText(const QString &hint);
    void setPasswordMode(bool on);

    // The list under the box; an entry may carry a key (a store's FItemID).
    void clearList();
    void addItem(const QString &text, qint64 key = 0);
    int listCount() const;
    QString listText(int index) const;
    // Chooses an entry as the user would, raising itemChosen.
    void choose(int index);
    // Key of the entry whose text the box shows, 0 when the text matches none.
    qint64 key() const;

    // Texts entered earlier are offered again; kept per user under the name.
    void setHistoryName(const QString &name);
    void remember();

    // The stores as keyed entries ("number name"), after an empty entry for "no store".
    void fillStores(db::Connection &conn);

signals:
    void dropDown(); // the list is about to show: fill it now
    void itemChosen();
    void textChanged(const QString &text);

private:
    QComboBox *m_box;
    QString m_historyName;
    bool m_password = false;
};

} // namespace zostore::components
