// VnItemGroup.atvItem: the item-group tree, with a root node standing for all items.
#pragma once

#include "components/Component.h"

#include <QPointer>
#include <QWidget>

class QStandardItem;
class QStandardItemModel;
class QTreeView;

namespace zostore::db {
class Connection;
}

namespace zostore::components::items {

class ItemGroupTree : public QWidget {
    Q_OBJECT
public:
    // Key of the root node; items outside every group point at it too.
    static constexpr int RootKey = 0;

    explicit ItemGroupTree(QWidget *parent = nullptr);

    // Reloads the groups; the selected group stays selected when it still exists.
    void load(const QString &connectionString);
    void load(db::Connection &conn);

    int selectedKey() const;
    QString selectedName() const;
    // Selects the group (emitting groupSelected); false when no node has that key.
    bool selectKey(int key);
    int groupCount() const { return m_groupCount; } // nodes below the root

    QTreeView *view() const { return m_view; }

signals:
    void groupSelected(int key, const QString &name);
    void widthChanged(int width);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QStandardItem *itemOf(int key) const;

    QStandardItemModel *m_model;
    QTreeView *m_view;
    bool m_loading = false;
    int m_groupCount = 0;
};

// The tree as a late-bound component: Load(cnstr), SelectKey(key), SelectedKey, SelectedName, Control.
class ItemGroupTreeComponent : public Component {
public:
    static inline const QString ProgId = QStringLiteral("VnItemGroup.atvItem");
    ItemGroupTreeComponent();
    ~ItemGroupTreeComponent() override;

    ItemGroupTree *control() const { return m_tree; }

private:
    QPointer<ItemGroupTree> m_tree;
};

} // namespace zostore::components::items
