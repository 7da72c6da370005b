// VnSuperControl.SuperTextbox: the text box with history, created by ProgID.
#include "components/supertextbox/SuperTextboxComponent.h"

namespace zostore::components {

SuperTextboxComponent::SuperTextboxComponent() : Component(ProgId), m_box(new SuperTextbox) {
    addMethod(QStringLiteral("Text"), 0, 0, [this](const QVariantList &) { return QVariant(m_box->text()); });
    addMethod(QStringLiteral("SetText"), 1, 1, [this](const QVariantList &a) {
        m_box->setText(argText(a, 0));
        return QVariant();
    });
    addMethod(QStringLiteral("Clear"), 0, 0, [this](const QVariantList &) {
        m_box->clearList();
        return QVariant();
    });
    addMethod(QStringLiteral("AddItem"), 1, 2, [this](const QVariantList &a) {
        m_box->addItem(argText(a, 0), a.size() > 1 ? a[1].toLongLong() : 0);
        return QVariant();
    });
    addMethod(QStringLiteral("ListCount"), 0, 0, [this](const QVariantList &) { return QVariant(m_box->listCount()); });
    addMethod(QStringLiteral("Key"), 0, 0, [this](const QVariantList &) { return QVariant(m_box->key()); });
    addProperty(QStringLiteral("Control"), [this] { return QVariant::fromValue<QObject *>(m_box.data()); });
}

SuperTextboxComponent::~SuperTextboxComponent() {
    if (m_box && !m_box->parent())
        delete m_box.data();
}

} // namespace zostore::components
