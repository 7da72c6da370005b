#include "components/labels/LabelDesigner.h"

#include "components/labels/ElementEditor.h"
#include "components/labels/LabelFormatStore.h"
#include "components/labels/LabelItems.h"
#include "components/labels/LabelPreview.h"
#include "components/labels/SpinBoxes.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "db/Recordset.h"
#include "ui/Dialogs.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>

namespace zostore::components::labels {

namespace {

QString fieldCaption(const QString &field) {
    for (const auto &f : labelFields())
        if (f.first == field)
            return f.second;
    return field;
}

QString elementLine(const LabelElement &e) {
    switch (e.kind) {
    case LabelElement::Kind::Text: return QStringLiteral("文字  ") + e.text;
    case LabelElement::Kind::Field:
    case LabelElement::Kind::Price: return kindCaption(e.kind) + QStringLiteral("  ") + fieldCaption(e.field);
    case LabelElement::Kind::Barcode:
        return QStringLiteral("条码  %1（%2）").arg(fieldCaption(e.field), symbologyName(e.symbology));
    default: return kindCaption(e.kind);
    }
}

LabelElement newElement(LabelElement::Kind kind, const LabelFormat &f) {
    LabelElement e;
    e.kind = kind;
    const double w = std::max(1.0, f.width - 4);
    switch (kind) {
    case LabelElement::Kind::Text: e.text = QStringLiteral("文字"); e.rect = {2, 2, std::min(30.0, w), 5}; break;
    case LabelElement::Kind::Field: e.field = QStringLiteral("FName"); e.rect = {2, 2, w, 6}; break;
    case LabelElement::Kind::Price:
        e.field = QStringLiteral("FPriceText");
        e.text = QStringLiteral("￥");
        e.fontSize = 14;
        e.bold = true;
        e.rect = {2, 2, std::min(30.0, w), 8};
        break;
    case LabelElement::Kind::Barcode:
        e.field = QStringLiteral("FBarCode");
        e.rect = {2, 2, std::min(40.0, w), std::min(16.0, std::max(1.0, f.height - 4))};
        break;
    case LabelElement::Kind::Line: e.rect = {2, f.height / 2, w, 0}; break;
    case LabelElement::Kind::Box: e.rect = {1, 1, std::max(1.0, f.width - 2), std::max(1.0, f.height - 2)}; break;
    }
    return e;
}

} // namespace

LabelDesigner::LabelDesigner(const QString &cnstr, QWidget *parent) : QDialog(parent), m_cnstr(cnstr) {
    setObjectName(QStringLiteral("frmLabelDesigner"));
    setWindowTitle(QStringLiteral("标签格式设计"));
    build();
    loadSampleValues();
    fillFormatList({});
    openFirstOrNew();
}

void LabelDesigner::build() {
    auto *formats = new QGroupBox(QStringLiteral("标签格式"), this);
    lstFormats = new QListWidget(formats);
    lstFormats->setObjectName(QStringLiteral("lstFormats"));
    auto *btnNew = new QPushButton(QStringLiteral("新建"), formats);
    auto *btnDelete = new QPushButton(QStringLiteral("删除"), formats);
    auto *btnDefault = new QPushButton(QStringLiteral("设为默认"), formats);
    auto *fl = new QVBoxLayout(formats);
    fl->addWidget(lstFormats, 1);
    auto *fb = new QHBoxLayout;
    fb->addWidget(btnNew);
    fb->addWidget(btnDelete);
    fl->addLayout(fb);
    fl->addWidget(btnDefault);

    auto *sheet = new QGroupBox(QStringLiteral("标签和纸张"), this);
    txtName = new QLineEdit(sheet);
    txtName->setMaxLength(50);
    txtWidth = mmBox(sheet, 10, 300);
    txtHeight = mmBox(sheet, 10, 300);
    txtGapX = mmBox(sheet, 0, 50);
    txtGapY = mmBox(sheet, 0, 50);
    txtLeft = mmBox(sheet, 0, 100);
    txtTop = mmBox(sheet, 0, 100);
    txtColumns = new QSpinBox(sheet);
    txtColumns->setRange(1, 20);
    auto *sf = new QFormLayout(sheet);
    sf->addRow(QStringLiteral("名称："), txtName);
    sf->addRow(QStringLiteral("标签宽度："), txtWidth);
    sf->addRow(QStringLiteral("标签高度："), txtHeight);
    sf->addRow(QStringLiteral("左右间隔："), txtGapX);
    sf->addRow(QStringLiteral("上下间隔："), txtGapY);
    sf->addRow(QStringLiteral("左边距："), txtLeft);
    sf->addRow(QStringLiteral("上边距："), txtTop);
    sf->addRow(QStringLiteral("每行张数："), txtColumns);

    auto *items = new QGroupBox(QStringLiteral("标签上的项目"), this);
    lstElements = new QListWidget(items);
    lstElements->setObjectName(QStringLiteral("lstElements"));
    editor = new ElementEditor(items);
    auto *il = new QVBoxLayout(items);
    auto *adds = new QGridLayout;
    const QList<LabelElement::Kind> kinds{LabelElement::Kind::Text, LabelElement::Kind::Field,
                                          LabelElement::Kind::Price, LabelElement::Kind::Barcode,
                                          LabelElement::Kind::Line, LabelElement::Kind::Box};
    for (int i = 0; i < kinds.size(); ++i) {
        auto *b = new QPushButton(QStringLiteral("加") + kindCaption(kinds[i]), items);
        connect(b, &QPushButton::clicked, this, [this, k = kinds[i]] { addElement(k); });
        adds->addWidget(b, i / 3, i % 3);
    }
    auto *btnRemove = new QPushButton(QStringLiteral("删除项目"), items);
    il->addLayout(adds);
    il->addWidget(lstElements, 1);
    il->addWidget(btnRemove);
    il->addWidget(editor);

    preview = new LabelPreview(this);
    lblProblems = new QLabel(this);
    lblProblems->setWordWrap(true);
    lblProblems->setStyleSheet(QStringLiteral("color:#b00000"));
    auto *hint = new QLabel(QStringLiteral("预览用帐套里的一个商品填写；在预览上可以用鼠标拖动项目。"), this);
    hint->setWordWrap(true);
    auto *right = new QWidget(this);
    auto *rl = new QVBoxLayout(right);
    rl->setContentsMargins(0, 0, 0, 0);
    rl->addWidget(preview, 1);
    rl->addWidget(hint);
    rl->addWidget(lblProblems);

    auto *left = new QWidget(this);
    auto *ll = new QVBoxLayout(left);
    ll->setContentsMargins(0, 0, 0, 0);
    ll->addWidget(formats, 1);
    ll->addWidget(sheet);

    auto *split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(items);
    split->addWidget(right);
    split->setStretchFactor(2, 1);

    auto *btnSave = new QPushButton(QStringLiteral("保存"), this);
    auto *btnClose = new QPushButton(QStringLiteral("关闭"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnSave);
    buttons->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    resize(1100, 640);

    connect(btnNew, &QPushButton::clicked, this, [this] {
        if (settleChanges())
            newFormat();
    });
    connect(btnDelete, &QPushButton::clicked, this, &LabelDesigner::removeFormat);
    connect(btnDefault, &QPushButton::clicked, this, &LabelDesigner::setDefault);
    connect(btnSave, &QPushButton::clicked, this, &LabelDesigner::save);
    connect(btnClose, &QPushButton::clicked, this, &LabelDesigner::reject);
    connect(btnRemove, &QPushButton::clicked, this, &LabelDesigner::removeElement);
    connect(lstFormats, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        const QString name = item->data(Qt::UserRole).toString();
        if (name != m_originalName || m_originalName.isEmpty()) {
            if (settleChanges())
                openFormat(name);
            else
                fillFormatList(m_originalName);
        }
    });
    connect(txtName, &QLineEdit::textEdited, this, [this] { readFormatFields(); });
    for (auto *s : {txtWidth, txtHeight, txtGapX, txtGapY, txtLeft, txtTop})
        connect(s, &QDoubleSpinBox::valueChanged, this, [this] { readFormatFields(); });
    connect(txtColumns, &QSpinBox::valueChanged, this, [this] { readFormatFields(); });
    connect(lstElements, &QListWidget::currentRowChanged, this, [this](int row) {
        editor->setElement(row >= 0 && row < m_format.elements.size() ? &m_format.elements[row] : nullptr);
        preview->setSelected(row);
    });
    connect(editor, &ElementEditor::changed, this,
            [this](const LabelElement &e) { updateElement(lstElements->currentRow(), e); });
    connect(preview, &LabelPreview::elementPicked, lstElements, [this](int i) { lstElements->setCurrentRow(i); });
    connect(preview, &LabelPreview::elementMoved, this, [this](int i, QPointF tl) {
        LabelElement e = m_format.elements.value(i);
        e.rect.moveTopLeft(tl);
        updateElement(i, e);
        if (i == lstElements->currentRow())
            editor->setElement(&m_format.elements[i]);
    });
}

void LabelDesigner::loadSampleValues() {
    LabelValues v{{QStringLiteral("FName"), QStringLiteral("鲜榨橙汁 1L")},
                  {QStringLiteral("FNumber"), QStringLiteral("0102001")},
                  {QStringLiteral("FShopNumber"), QStringLiteral("2000000000123")},
                  {QStringLiteral("FModel"), QStringLiteral("1L/瓶")},
                  {QStringLiteral("FUnit"), QStringLiteral("瓶")},
                  {QStringLiteral("FBarCode"), QStringLiteral("6901234567892")},
                  {QStringLiteral("FPriceText"), QStringLiteral("12.80")}};
    try {
        db::Connection conn(m_cnstr);
        auto rs = conn.open(QStringLiteral("select FNumber from t_ICItem where FDel=0 and FBar_Code is not null "
                                           "and length(FBar_Code)=13 order by FNumber"),
                            {}, db::Cursor::Forward);
        if (!rs.eof()) {
            if (auto item = LabelItems(conn).find(rs.text(QStringLiteral("FNumber"))))
                v = {{QStringLiteral("FName"), item->name},         {QStringLiteral("FNumber"), item->number},
                     {QStringLiteral("FShopNumber"), item->shopNumber}, {QStringLiteral("FModel"), item->model},
                     {QStringLiteral("FUnit"), item->unit},         {QStringLiteral("FBarCode"), item->barcode},
                     {QStringLiteral("FPriceText"), item->priceText}};
        }
    } catch (const Error &) {
        // The built-in sample serves when the account set has no item to show.
    }
    preview->setValues(v);
}

void LabelDesigner::fillFormatList(const QString &current) {
    lstFormats->clear();
    db::Connection conn(m_cnstr);
    for (const FormatEntry &f : LabelFormatStore(conn).list()) {
        auto *item = new QListWidgetItem(f.selected ? f.name + QStringLiteral("（默认）") : f.name, lstFormats);
        item->setData(Qt::UserRole, f.name);
        if (f.name == current)
            lstFormats->setCurrentItem(item);
    }
}

void LabelDesigner::openFirstOrNew() {
    if (lstFormats->count() > 0)
        openFormat(lstFormats->item(0)->data(Qt::UserRole).toString());
    else
        newFormat();
}

bool LabelDesigner::withStore(const std::function<void(LabelFormatStore &)> &change) {
    try {
        db::Connection conn(m_cnstr);
        LabelFormatStore store(conn);
        change(store);
    } catch (const Error &e) {
        ui::dialogs().info(e.description());
        return false;
    }
    return true;
}

bool LabelDesigner::openFormat(const QString &name) {
    if (!withStore([&](LabelFormatStore &store) { m_format = store.load(name); }))
        return false;
    m_originalName = name;
    m_changed = false;
    fillFormatList(name);
    showFormat();
    return true;
}

void LabelDesigner::newFormat() {
    m_format = LabelFormat{};
    m_format.name = QStringLiteral("新标签格式");
    m_originalName.clear();
    m_changed = true;
    lstFormats->clearSelection();
    showFormat();
    txtName->setFocus();
    txtName->selectAll();
}

void LabelDesigner::showFormat() {
    m_loading = true;
    txtName->setText(m_format.name);
    txtWidth->setValue(m_format.width);
    txtHeight->setValue(m_format.height);
    txtGapX->setValue(m_format.gapX);
    txtGapY->setValue(m_format.gapY);
    txtLeft->setValue(m_format.marginLeft);
    txtTop->setValue(m_format.marginTop);
    txtColumns->setValue(m_format.columns);
    m_loading = false;
    fillElementList();
    refreshPreview();
}

void LabelDesigner::readFormatFields() {
    if (m_loading)
        return;
    m_format.name = txtName->text().trimmed();
    m_format.width = txtWidth->value();
    m_format.height = txtHeight->value();
    m_format.gapX = txtGapX->value();
    m_format.gapY = txtGapY->value();
    m_format.marginLeft = txtLeft->value();
    m_format.marginTop = txtTop->value();
    m_format.columns = txtColumns->value();
    markChanged();
}

void LabelDesigner::fillElementList() {
    const int keep = lstElements->currentRow();
    lstElements->clear();
    for (const LabelElement &e : m_format.elements)
        lstElements->addItem(elementLine(e));
    lstElements->setCurrentRow(std::min(keep, int(m_format.elements.size()) - 1));
    if (lstElements->currentRow() < 0)
        editor->setElement(nullptr);
}

void LabelDesigner::markChanged() {
    m_changed = true;
    refreshPreview();
}

void LabelDesigner::refreshPreview() {
    preview->setFormat(m_format);
    preview->repaint();
    QStringList notes = preview->problems();
    try {
        m_format.validate();
    } catch (const Error &e) {
        notes.prepend(e.description());
    }
    lblProblems->setText(notes.join(u'\n'));
    setWindowTitle(QStringLiteral("标签格式设计 - ") + (m_format.name.isEmpty() ? QStringLiteral("（未命名）") : m_format.name) +
                   (m_changed ? QStringLiteral(" *") : QString()));
}

void LabelDesigner::addElement(LabelElement::Kind kind) {
    m_format.elements.append(newElement(kind, m_format));
    fillElementList();
    lstElements->setCurrentRow(int(m_format.elements.size()) - 1);
    markChanged();
}

void LabelDesigner::removeElement() {
    const int row = lstElements->currentRow();
    if (row < 0 || row >= m_format.elements.size())
        return;
    m_format.elements.removeAt(row);
    fillElementList();
    markChanged();
}

void LabelDesigner::updateElement(int index, const LabelElement &element) {
    if (index < 0 || index >= m_format.elements.size())
        return;
    m_format.elements[index] = element;
    if (auto *item = lstElements->item(index))
        item->setText(elementLine(element));
    markChanged();
}

bool LabelDesigner::save() {
    if (!withStore([&](LabelFormatStore &store) { store.save(m_format, m_originalName); }))
        return false;
    m_originalName = m_format.name;
    m_changed = false;
    fillFormatList(m_originalName);
    refreshPreview();
    return true;
}

bool LabelDesigner::removeFormat() {
    if (m_originalName.isEmpty())
        return false;
    if (ui::dialogs().question(QStringLiteral("确实要删除标签格式“%1”吗？").arg(db::shortened(m_originalName))) !=
        ui::Answer::Yes)
        return false;
    if (!withStore([&](LabelFormatStore &store) { store.remove(m_originalName); }))
        return false;
    m_changed = false;
    m_originalName.clear();
    fillFormatList({});
    openFirstOrNew();
    return true;
}

bool LabelDesigner::setDefault() {
    if (m_originalName.isEmpty() || m_changed) {
        ui::dialogs().info(QStringLiteral("请先保存这个标签格式，再设为默认。"));
        return false;
    }
    if (!withStore([&](LabelFormatStore &store) { store.select(m_originalName); }))
        return false;
    fillFormatList(m_originalName);
    return true;
}

bool LabelDesigner::settleChanges() {
    if (!m_changed)
        return true;
    if (ui::dialogs().question(QStringLiteral("标签格式“%1”已经修改，是否保存？").arg(db::shortened(m_format.name)),
                               ui::Icon::Question, ui::Answer::Yes) == ui::Answer::Yes)
        return save();
    m_changed = false;
    return true;
}

void LabelDesigner::reject() {
    if (settleChanges())
        QDialog::reject();
}

} // namespace zostore::components::labels
