#include "components/labels/ElementEditor.h"

#include "components/labels/SpinBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace zostore::components::labels {

QString kindCaption(LabelElement::Kind kind, bool bill) {
    switch (kind) {
    case LabelElement::Kind::Text: return QStringLiteral("文字");
    case LabelElement::Kind::Field: return bill ? QStringLiteral("单据字段") : QStringLiteral("商品字段");
    case LabelElement::Kind::Table: return QStringLiteral("明细表");
    case LabelElement::Kind::Price: return QStringLiteral("价格");
    case LabelElement::Kind::Barcode: return QStringLiteral("条码");
    case LabelElement::Kind::Line: return QStringLiteral("直线");
    case LabelElement::Kind::Box: return QStringLiteral("方框");
    }
    return {};
}

ElementEditor::ElementEditor(QWidget *parent)
    : QWidget(parent), m_form(new QFormLayout(this)), m_kind(new QLabel(this)),
      m_x(mmBox(this, 0, 300)), m_y(mmBox(this, 0, 300)),
      m_w(mmBox(this, 0, 300)), m_h(mmBox(this, 0, 300)),
      m_font(decimalBox(this, 4, 72, 0.5, QStringLiteral(" 磅"))), m_lineWidth(decimalBox(this, 0.1, 3, 0.1, QStringLiteral(" 毫米"))),
      m_text(new QLineEdit(this)), m_field(new QComboBox(this)), m_align(new QComboBox(this)),
      m_symbology(new QComboBox(this)), m_bold(new QCheckBox(QStringLiteral("粗体"), this)),
      m_digits(new QCheckBox(QStringLiteral("条码下印出数字"), this)), m_columns(new QListWidget(this)) {
    m_form->setContentsMargins(0, 0, 0, 0);
    m_text->setMaxLength(200);
    setFields(labelFields());
    m_columns->setObjectName(QStringLiteral("lstColumns"));
    for (const auto &f : billLineFields()) {
        auto *item = new QListWidgetItem(f.second, m_columns);
        item->setData(Qt::UserRole, f.first);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    m_columns->setMaximumHeight(150);
    m_align->addItems({QStringLiteral("左对齐"), QStringLiteral("居中"), QStringLiteral("右对齐")});
    for (Symbology s : {Symbology::Ean13, Symbology::Ean8, Symbology::Code128})
        m_symbology->addItem(symbologyName(s), int(s));
    m_form->addRow(QStringLiteral("类型："), m_kind);
    m_form->addRow(QStringLiteral("左边："), m_x);
    m_form->addRow(QStringLiteral("上边："), m_y);
    m_form->addRow(QStringLiteral("宽度："), m_w);
    m_form->addRow(QStringLiteral("高度："), m_h);
    m_form->addRow(QStringLiteral("文字："), m_text);
    m_form->addRow(QStringLiteral("字段："), m_field);
    m_form->addRow(QStringLiteral("字号："), m_font);
    m_form->addRow(QString(), m_bold);
    m_form->addRow(QStringLiteral("对齐："), m_align);
    m_form->addRow(QStringLiteral("条码类型："), m_symbology);
    m_form->addRow(QString(), m_digits);
    m_form->addRow(QStringLiteral("线宽："), m_lineWidth);
    m_form->addRow(QStringLiteral("列："), m_columns);
    for (auto *s : {m_x, m_y, m_w, m_h, m_font, m_lineWidth})
        connect(s, &QDoubleSpinBox::valueChanged, this, &ElementEditor::readBack);
    connect(m_text, &QLineEdit::textEdited, this, &ElementEditor::readBack);
    for (auto *c : {m_field, m_align, m_symbology})
        connect(c, &QComboBox::activated, this, &ElementEditor::readBack);
    for (auto *c : {m_bold, m_digits})
        connect(c, &QCheckBox::toggled, this, &ElementEditor::readBack);
    connect(m_columns, &QListWidget::itemChanged, this, &ElementEditor::readBack);
    setElement(nullptr);
}

void ElementEditor::setFields(const QList<QPair<QString, QString>> &fields, bool bill) {
    m_bill = bill;
    m_field->clear();
    for (const auto &f : fields)
        m_field->addItem(f.second, f.first);
}

void ElementEditor::showRowsFor(LabelElement::Kind kind) {
    using K = LabelElement::Kind;
    const bool written = kind == K::Text || kind == K::Field || kind == K::Price;
    const bool fromField = kind == K::Field || kind == K::Price || kind == K::Barcode;
    m_form->setRowVisible(m_text, written);
    m_form->setRowVisible(m_field, fromField);
    m_form->setRowVisible(m_font, written || kind == K::Table);
    m_form->setRowVisible(m_columns, kind == K::Table);
    m_form->setRowVisible(m_bold, written);
    m_form->setRowVisible(m_align, written);
    m_form->setRowVisible(m_symbology, kind == K::Barcode);
    m_form->setRowVisible(m_digits, kind == K::Barcode);
    m_form->setRowVisible(m_lineWidth, kind == K::Line || kind == K::Box || kind == K::Table);
    m_form->labelForField(m_text)->setProperty("text", kind == K::Text ? QStringLiteral("文字：") : QStringLiteral("前缀："));
}

void ElementEditor::setElement(const LabelElement *element) {
    m_loading = true;
    setEnabled(element != nullptr);
    m_element = element ? *element : LabelElement{};
    const LabelElement &e = m_element;
    m_kind->setText(element ? kindCaption(e.kind, m_bill) : QStringLiteral("（未选中项目）"));
    m_x->setValue(e.rect.x());
    m_y->setValue(e.rect.y());
    m_w->setValue(e.rect.width());
    m_h->setValue(e.rect.height());
    m_text->setText(e.text);
    m_field->setCurrentIndex(std::max(0, m_field->findData(e.field)));
    m_font->setValue(e.fontSize);
    m_bold->setChecked(e.bold);
    m_align->setCurrentIndex(std::clamp(e.align, 0, 2));
    m_symbology->setCurrentIndex(std::max(0, m_symbology->findData(int(e.symbology))));
    m_digits->setChecked(e.showDigits);
    m_lineWidth->setValue(e.lineWidth);
    for (int i = 0; i < m_columns->count(); ++i)
        m_columns->item(i)->setCheckState(e.columns.contains(m_columns->item(i)->data(Qt::UserRole).toString())
                                              ? Qt::Checked
                                              : Qt::Unchecked);
    showRowsFor(e.kind);
    m_loading = false;
}

void ElementEditor::readBack() {
    if (m_loading || !isEnabled())
        return;
    LabelElement &e = m_element;
    e.rect = QRectF(m_x->value(), m_y->value(), m_w->value(), m_h->value());
    e.text = m_text->text();
    if (e.kind == LabelElement::Kind::Field || e.kind == LabelElement::Kind::Price ||
        e.kind == LabelElement::Kind::Barcode)
        e.field = m_field->currentData().toString();
    e.fontSize = m_font->value();
    e.bold = m_bold->isChecked();
    e.align = m_align->currentIndex();
    e.symbology = Symbology(m_symbology->currentData().toInt());
    e.showDigits = m_digits->isChecked();
    e.lineWidth = m_lineWidth->value();
    if (e.kind == LabelElement::Kind::Table) {
        e.columns.clear();
        for (int i = 0; i < m_columns->count(); ++i)
            if (m_columns->item(i)->checkState() == Qt::Checked)
                e.columns << m_columns->item(i)->data(Qt::UserRole).toString();
    }
    emit changed(e);
}

} // namespace zostore::components::labels
