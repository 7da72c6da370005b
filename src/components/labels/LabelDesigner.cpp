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

#include <QComboBox>
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

QString captionIn(const QList<QPair<QString, QString>> &fields, const QString &field) {
    for (const auto &f : fields)
        if (f.first == field)
            return f.second;
    return field;
}

QString elementLine(const LabelElement &e, int tranType) {
    const auto &fields = formatFields(tranType);
    switch (e.kind) {
    case LabelElement::Kind::Text: return QStringLiteral("文字  ") + e.text;
    case LabelElement::Kind::Field:
    case LabelElement::Kind::Price:
        return kindCaption(e.kind, tranType != 51) + QStringLiteral("  ") + captionIn(fields, e.field);
    case LabelElement::Kind::Barcode:
        return QStringLiteral("条码  %1（%2）").arg(captionIn(fields, e.field), symbologyName(e.symbology));
    case LabelElement::Kind::Table: {
        QStringList names;
        for (const QString &c : e.columns)
            names << captionIn(billLineFields(), c);
        return QStringLiteral("明细表  ") + names.join(QStringLiteral("、"));
    }
    default: return kindCaption(e.kind);
    }
}

LabelElement newElement(LabelElement::Kind kind, const LabelFormat &f) {
    LabelElement e;
    e.kind = kind;
    const double w = std::max(1.0, f.width - 4);
    switch (kind) {
    case LabelElement::Kind::Text: e.text = QStringLiteral("文字"); e.rect = {2, 2, std::min(30.0, w), 5}; break;
    case LabelElement::Kind::Field:
        e.field = f.isBill() ? QStringLiteral("FBillNo") : QStringLiteral("FName");
        e.rect = {2, 2, f.isBill() ? std::min(70.0, w) : w, 6};
        break;
    case LabelElement::Kind::Table:
        e.columns = QStringList{QStringLiteral("FNumber"), QStringLiteral("FName"), QStringLiteral("FUnit"),
                                QStringLiteral("FQty"), QStringLiteral("FPrice"), QStringLiteral("FAmount")};
        e.rect = {2, std::min(30.0, f.height / 3), w, std::max(1.0, f.height - std::min(30.0, f.height / 3) - 12)};
        break;
    case LabelElement::Kind::Price:
        e.field = QStringLiteral("FPriceText");
        e.text = QStringLiteral("￥");
        e.fontSize = 14;
        e.bold = true;
        e.rect = {2, 2, std::min(30.0, w), 8};
        break;
    case LabelElement::Kind::Barcode:
        e.field = f.isBill() ? QStringLiteral("FBillNo") : QStringLiteral("FBarCode");
        e.symbology = f.isBill() ? Symbology::Code128 : Symbology::Ean13;
        e.rect = {2, 2, std::min(40.0, w), std::min(16.0, std::max(1.0, f.height - 4))};
        break;
    case LabelElement::Kind::Line: e.rect = {2, f.height / 2, w, 0}; break;
    case LabelElement::Kind::Box: e.rect = {1, 1, std::max(1.0, f.width - 2), std::max(1.0, f.height - 2)}; break;
    }
    return e;
}

// A new bill format starts as a usable page: title, header fields and the lines table.
LabelFormat billStarter(int tranType) {
    LabelFormat f;
    f.tranType = tranType;
    f.name = QStringLiteral("新打印格式");
    f.width = 200;
    f.height = 130;
    f.marginLeft = 5;
    f.marginTop = 5;
    LabelElement title;
    title.kind = LabelElement::Kind::Field;
    title.field = QStringLiteral("FKindName");
    title.rect = {0, 2, 200, 9};
    title.fontSize = 16;
    title.bold = true;
    title.align = 1;
    f.elements << title;
    const QList<QPair<const char *, QRectF>> fields{{"FBillNo", {2, 14, 64, 6}},   {"FDate", {68, 14, 64, 6}},
                                                    {"FPartner", {134, 14, 64, 6}}, {"FOutStock", {2, 21, 64, 6}},
                                                    {"FInStock", {68, 21, 64, 6}},  {"FEmp", {134, 21, 64, 6}}};
    for (const auto &p : fields) {
        LabelElement e;
        e.kind = LabelElement::Kind::Field;
        e.field = QString::fromLatin1(p.first);
        e.text = captionIn(billHeaderFields(), e.field) + QStringLiteral("：");
        e.rect = p.second;
        f.elements << e;
    }
    LabelElement table = newElement(LabelElement::Kind::Table, f);
    table.rect = {2, 29, 196, 86};
    f.elements << table;
    LabelElement total;
    total.kind = LabelElement::Kind::Field;
    total.field = QStringLiteral("FSumAmount");
    total.text = QStringLiteral("合计金额：");
    total.rect = {2, 118, 96, 6};
    LabelElement page = total;
    page.field = QStringLiteral("FPage");
    page.text.clear();
    page.align = 2;
    page.rect = {102, 118, 96, 6};
    f.elements << total << page;
    return f;
}

} // namespace

LabelDesigner::LabelDesigner(const QString &cnstr, QWidget *parent, int tranType)
    : QDialog(parent), m_cnstr(cnstr), m_type(tranType == 0 ? 12 : tranType) {
    if (m_type != 51)
        requireFormatType(m_type);
    setObjectName(isBill() ? QStringLiteral("frmBillDesigner") : QStringLiteral("frmLabelDesigner"));
    build();
    cmbType->setVisible(tranType == 0);
    if (isBill())
        resize(1150, 760); // the lines table's columns need the room
    applyType();
    openFirstOrNew();
}

void LabelDesigner::applyType() {
    const bool bill = isBill();
    m_sheet->setTitle(bill ? QStringLiteral("页面") : QStringLiteral("标签和纸张"));
    m_sheetForm->labelForField(txtWidth)->setProperty("text", bill ? QStringLiteral("页面宽度：") : QStringLiteral("标签宽度："));
    m_sheetForm->labelForField(txtHeight)->setProperty("text", bill ? QStringLiteral("页面高度：") : QStringLiteral("标签高度："));
    for (QWidget *w : std::initializer_list<QWidget *>{txtGapX, txtGapY, txtColumns})
        m_sheetForm->setRowVisible(w, !bill);
    for (const auto &[kind, button] : m_adds) {
        const bool offered = bill ? kind != LabelElement::Kind::Price : kind != LabelElement::Kind::Table;
        button->setVisible(offered);
        button->setText(QStringLiteral("加") + kindCaption(kind, bill));
    }
    editor->setFields(formatFields(m_type), bill);
    findChild<QLabel *>(QStringLiteral("lblHint"))
        ->setText(bill ? QStringLiteral("预览用一张示例单据填写；在预览上可以用鼠标拖动项目。")
                       : QStringLiteral("预览用帐套里的一个商品填写；在预览上可以用鼠标拖动项目。"));
    loadSampleValues();
    fillFormatList({});
}

bool LabelDesigner::switchType(int tranType) {
    if (tranType == m_type)
        return true;
    if (!settleChanges()) {
        cmbType->setCurrentIndex(cmbType->findData(m_type));
        return false;
    }
    requireFormatType(tranType);
    m_type = tranType;
    m_originalName.clear();
    applyType();
    openFirstOrNew();
    return true;
}

void LabelDesigner::build() {
    auto *formats = new QGroupBox(QStringLiteral("格式"), this);
    cmbType = new QComboBox(formats);
    cmbType->setObjectName(QStringLiteral("cmbType"));
    for (const auto &t : billFormatTypes())
        cmbType->addItem(t.second, t.first);
    cmbType->setCurrentIndex(std::max(0, cmbType->findData(m_type)));
    lstFormats = new QListWidget(formats);
    lstFormats->setObjectName(QStringLiteral("lstFormats"));
    auto *btnNew = new QPushButton(QStringLiteral("新建"), formats);
    auto *btnDelete = new QPushButton(QStringLiteral("删除"), formats);
    auto *btnDefault = new QPushButton(QStringLiteral("设为默认"), formats);
    auto *fl = new QVBoxLayout(formats);
    fl->addWidget(cmbType);
    fl->addWidget(lstFormats, 1);
    auto *fb = new QHBoxLayout;
    fb->addWidget(btnNew);
    fb->addWidget(btnDelete);
    fl->addLayout(fb);
    fl->addWidget(btnDefault);

    auto *sheet = m_sheet = new QGroupBox(QStringLiteral("标签和纸张"), this);
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
    auto *sf = m_sheetForm = new QFormLayout(sheet);
    sf->addRow(QStringLiteral("名称："), txtName);
    sf->addRow(QStringLiteral("标签宽度："), txtWidth);
    sf->addRow(QStringLiteral("标签高度："), txtHeight);
    sf->addRow(QStringLiteral("左右间隔："), txtGapX);
    sf->addRow(QStringLiteral("上下间隔："), txtGapY);
    sf->addRow(QStringLiteral("左边距："), txtLeft);
    sf->addRow(QStringLiteral("上边距："), txtTop);
    sf->addRow(QStringLiteral("每行张数："), txtColumns);

    auto *items = new QGroupBox(QStringLiteral("项目"), this);
    lstElements = new QListWidget(items);
    lstElements->setObjectName(QStringLiteral("lstElements"));
    editor = new ElementEditor(items);
    auto *il = new QVBoxLayout(items);
    auto *adds = new QGridLayout;
    const QList<LabelElement::Kind> kinds{LabelElement::Kind::Text, LabelElement::Kind::Field,
                                          LabelElement::Kind::Price, LabelElement::Kind::Barcode,
                                          LabelElement::Kind::Line, LabelElement::Kind::Box,
                                          LabelElement::Kind::Table};
    for (int i = 0; i < kinds.size(); ++i) {
        auto *b = new QPushButton(QStringLiteral("加") + kindCaption(kinds[i]), items);
        connect(b, &QPushButton::clicked, this, [this, k = kinds[i]] { addElement(k); });
        m_adds.append({kinds[i], b});
    }
    // Labels and bills never share a designer, so only the kinds of this one's sort are laid out.
    int cell = 0;
    for (const auto &[kind, button] : m_adds) {
        if (isBill() ? kind == LabelElement::Kind::Price : kind == LabelElement::Kind::Table) {
            button->hide();
            continue;
        }
        adds->addWidget(button, cell / 3, cell % 3);
        ++cell;
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
    auto *hint = new QLabel(this);
    hint->setObjectName(QStringLiteral("lblHint"));
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
    connect(cmbType, &QComboBox::activated, this, [this] {
        try {
            switchType(cmbType->currentData().toInt());
        } catch (const Error &e) {
            ui::dialogs().info(e.description());
        }
    });
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
    if (isBill()) {
        QString kind;
        for (const auto &t : billFormatTypes())
            if (t.first == m_type)
                kind = t.second;
        const LabelValues header{{QStringLiteral("FBillNo"), QStringLiteral("CGRK202612-0001")},
                                 {QStringLiteral("FDate"), QStringLiteral("2026-12-08")},
                                 {QStringLiteral("FKindName"), kind},
                                 {QStringLiteral("FPartner"), QStringLiteral("S01 示例供应商")},
                                 {QStringLiteral("FOutStock"), QStringLiteral("01 门市")},
                                 {QStringLiteral("FInStock"), QStringLiteral("02 仓库")},
                                 {QStringLiteral("FEmp"), QStringLiteral("张三")},
                                 {QStringLiteral("FRemark"), QStringLiteral("备注")},
                                 {QStringLiteral("FSumQty"), QStringLiteral("30")},
                                 {QStringLiteral("FSumAmount"), QStringLiteral("186.00")},
                                 {QStringLiteral("FPage"), QStringLiteral("第 1 页，共 1 页")}};
        QList<LabelValues> rows;
        const QList<QStringList> sample{{QStringLiteral("0102001"), QStringLiteral("鲜榨橙汁 1L"), QStringLiteral("瓶"),
                                         QStringLiteral("12"), QStringLiteral("8.50"), QStringLiteral("102.00")},
                                        {QStringLiteral("0201003"), QStringLiteral("全麦面包"), QStringLiteral("袋"),
                                         QStringLiteral("18"), QStringLiteral("4.67"), QStringLiteral("84.00")}};
        for (const QStringList &r : sample)
            rows << LabelValues{{QStringLiteral("FNumber"), r[0]}, {QStringLiteral("FName"), r[1]},
                                {QStringLiteral("FModel"), QString()},  {QStringLiteral("FUnit"), r[2]},
                                {QStringLiteral("FMainQty"), r[3]},     {QStringLiteral("FQty"), r[3]},
                                {QStringLiteral("FPrice"), r[4]},       {QStringLiteral("FAmount"), r[5]}};
        preview->setValues(header, rows);
        return;
    }
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
    for (const FormatEntry &f : LabelFormatStore(conn, m_type).list()) {
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
        LabelFormatStore store(conn, m_type);
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
    if (isBill()) {
        m_format = billStarter(m_type);
    } else {
        m_format = LabelFormat{};
        m_format.name = QStringLiteral("新标签格式");
    }
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
        lstElements->addItem(elementLine(e, m_type));
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
    setWindowTitle((isBill() ? QStringLiteral("单据打印格式设计 - ") : QStringLiteral("标签格式设计 - ")) + (m_format.name.isEmpty() ? QStringLiteral("（未命名）") : m_format.name) +
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
        item->setText(elementLine(element, m_type));
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
    if (ui::dialogs().question(QStringLiteral("确实要删除%1“%2”吗？")
                                   .arg(isBill() ? QStringLiteral("打印格式") : QStringLiteral("标签格式"),
                                        db::shortened(m_originalName))) !=
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
        ui::dialogs().info(QStringLiteral("请先保存这个格式，再设为默认。"));
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
    if (ui::dialogs().question(QStringLiteral("%1“%2”已经修改，是否保存？")
                                   .arg(isBill() ? QStringLiteral("打印格式") : QStringLiteral("标签格式"),
                                        db::shortened(m_format.name)),
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
