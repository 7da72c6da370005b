#include "components/items/ItemGroupTree.h"

#include "db/Connection.h"

#include <QHBoxLayout>
#include <QHash>
#include <QResizeEvent>
#include <QStandardItemModel>
#include <QTreeView>

namespace zostore::components::items {

namespace {

constexpr int KeyRole = Qt::UserRole + 1;

struct Group {
    int key;
    int parent;
    QString number;
    QString name;
};

} // namespace

ItemGroupTree::ItemGroupTree(QWidget *parent)
    : QWidget(parent), m_model(new QStandardItemModel(this)), m_view(new QTreeView(this)) {
    m_view->setModel(m_model);
    m_view->setHeaderHidden(true);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    auto *lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(m_view);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (!m_loading && current.isValid())
                    emit groupSelected(current.data(KeyRole).toInt(), current.data(Qt::DisplayRole).toString());
            });
}

void ItemGroupTree::load(const QString &connectionString) {
    db::Connection conn(connectionString);
    load(conn);
}

void ItemGroupTree::load(db::Connection &conn) {
    QVector<Group> groups;
    auto rs = conn.open(QStringLiteral("select FItemID,FNumber,FName,FParentID from t_ItemGroup order by FNumber"));
    for (; !rs.eof(); rs.moveNext())
        groups.append({rs.toInt(QStringLiteral("FItemID")), rs.toInt(QStringLiteral("FParentID")),
                       rs.text(QStringLiteral("FNumber")), rs.text(QStringLiteral("FName"))});

    const int previous = selectedKey();
    m_loading = true;
    m_model->clear();
    auto *root = new QStandardItem(tr("全部商品"));
    root->setData(RootKey, KeyRole);
    m_model->appendRow(root);

    QHash<int, QStandardItem *> nodes;
    QHash<int, int> parentOf;
    for (const Group &g : groups) {
        auto *node = new QStandardItem(g.name);
        node->setData(g.key, KeyRole);
        node->setToolTip(g.number);
        nodes.insert(g.key, node);
        parentOf.insert(g.key, g.parent);
    }
    // A group whose parent is missing, or that sits in a loop of parents, hangs under the root.
    auto reachesRoot = [&](int key) {
        for (int steps = 0; steps <= groups.size(); ++steps) {
            const int p = parentOf.value(key, RootKey);
            if (p == RootKey || !nodes.contains(p))
                return true;
            key = p;
        }
        return false;
    };
    for (const Group &g : groups) {
        QStandardItem *parentNode = root;
        if (g.parent != RootKey && g.parent != g.key && nodes.contains(g.parent) && reachesRoot(g.key))
            parentNode = nodes.value(g.parent);
        parentNode->appendRow(nodes.value(g.key));
    }
    m_groupCount = static_cast<int>(groups.size());
    m_view->expand(root->index());
    QStandardItem *sel = itemOf(previous);
    m_view->setCurrentIndex((sel ? sel : root)->index());
    m_loading = false;
}

int ItemGroupTree::selectedKey() const {
    const QModelIndex cur = m_view->currentIndex();
    return cur.isValid() ? cur.data(KeyRole).toInt() : RootKey;
}

QString ItemGroupTree::selectedName() const {
    const QModelIndex cur = m_view->currentIndex();
    return cur.isValid() ? cur.data(Qt::DisplayRole).toString() : QString();
}

bool ItemGroupTree::selectKey(int key) {
    QStandardItem *item = itemOf(key);
    if (!item)
        return false;
    m_view->setCurrentIndex(item->index());
    return true;
}

void ItemGroupTree::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (event->oldSize().width() != event->size().width())
        emit widthChanged(event->size().width());
}

QStandardItem *ItemGroupTree::itemOf(int key) const {
    if (!m_model->rowCount())
        return nullptr;
    const auto hits =
        m_model->match(m_model->index(0, 0), KeyRole, key, 1, Qt::MatchExactly | Qt::MatchRecursive);
    return hits.isEmpty() ? nullptr : m_model->itemFromIndex(hits.first());
}

ItemGroupTreeComponent::ItemGroupTreeComponent() : Component(ProgId), m_tree(new ItemGroupTree) {
    addMethod(QStringLiteral("Load"), 1, 1, [this](const QVariantList &a) {
        m_tree->load(argText(a, 0));
        return QVariant();
    });
    addMethod(QStringLiteral("SelectKey"), 1, 1,
              [this](const QVariantList &a) { return QVariant(m_tree->selectKey(argInt(a, 0))); });
    addProperty(QStringLiteral("SelectedKey"), [this] { return QVariant(m_tree->selectedKey()); });
    addProperty(QStringLiteral("SelectedName"), [this] { return QVariant(m_tree->selectedName()); });
    addProperty(QStringLiteral("Control"), [this] { return QVariant::fromValue<QObject *>(m_tree.data()); });
}

ItemGroupTreeComponent::~ItemGroupTreeComponent() {
    if (m_tree && !m_tree->parent())
        delete m_tree.data();
}

} // namespace zostore::components::items
