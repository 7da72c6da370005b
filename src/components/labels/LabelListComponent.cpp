#include "components/labels/LabelListComponent.h"

#include "db/Recordset.h"
#include "ui/Grid.h"

#include <QSharedPointer>

namespace zostore::components::labels {

LabelListComponent::LabelListComponent() : Component(ProgId), m_list(new LabelList) {
    addMethod(QStringLiteral("Init"), 2, 2, [this](const QVariantList &a) {
        m_list->init(argText(a, 0), argInt(a, 1));
        return QVariant();
    });
    addMethod(QStringLiteral("Clear"), 0, 0, [this](const QVariantList &) {
        m_list->clearList();
        return QVariant();
    });
    addMethod(QStringLiteral("DeleteRow"), 0, 0, [this](const QVariantList &) {
        m_list->deleteCurrentRow();
        return QVariant();
    });
    addMethod(QStringLiteral("AddItem"), 1, 2, [this](const QVariantList &a) {
        return QVariant(m_list->addCode(argText(a, 0), a.size() > 1 ? argInt(a, 1) : 1));
    });
    addMethod(QStringLiteral("LabelData"), 1, 1, [this](const QVariantList &a) {
        return QVariant::fromValue(QSharedPointer<db::Recordset>::create(m_list->labelData(argInt(a, 0))));
    });
    addProperty(QStringLiteral("Grid"), [this] { return QVariant::fromValue<QObject *>(m_list->grid()); });
    addProperty(QStringLiteral("Control"), [this] { return QVariant::fromValue<QObject *>(m_list.data()); });
}

LabelListComponent::~LabelListComponent() {
    if (m_list && !m_list->parent())
        delete m_list.data();
}

} // namespace zostore::components::labels
