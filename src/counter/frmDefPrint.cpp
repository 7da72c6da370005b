#include "counter/frmDefPrint.h"

#include "counter/ReceiptPreviewView.h"
#include "db/Connection.h"
#include "startup/LoginContext.h"
#include "startup/SettingsStore.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zostore::counter {

namespace {
const QString App = QStringLiteral("ZoStore");
const QString Section = QStringLiteral("Pos.Default");
const QString PortKey = QStringLiteral("PrintPort");
constexpr int DefaultPaperColumns = 32;

QString toCrLf(QString text) { return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n")); }
QString fromCrLf(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// The field list lies over the template box, its parent, and keeps every key it is given: passed on,
// Enter would also break the template's line and an arrow key at the list's end would move its cursor.
class FieldList : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void keyPressEvent(QKeyEvent *event) override {
        QListWidget::keyPressEvent(event);
        event->accept();
    }
};

QFont receiptFont() {
    QFont f(QStringLiteral("Noto Sans Mono CJK SC"));
    f.setStyleHint(QFont::Monospace);
    f.setPointSize(10);
    return f;
}
} // namespace

QStringList frmDefPrint::ports() {
    return {QStringLiteral("LPT1"), QStringLiteral("LPT2"), QStringLiteral("LPT3"), QStringLiteral("COM1"),
            QStringLiteral("COM2"), QStringLiteral("COM3"), QStringLiteral("COM4"), QStringLiteral("c:\\1.txt")};
}

frmDefPrint::frmDefPrint(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDefPrint"));
    setWindowTitle(QStringLiteral("定义小票打印格式"));
    build();
    showTemplate(ReceiptTemplate::sample(startup::loginContext().acctName()));
    ui::errorTrap([this] { open(); });
    refreshPreview();
}

void frmDefPrint::build() {
    tabs = new QTabWidget(this);
    tabs->addTab(buildFormatPage(), QStringLiteral("打印格式(&A)"));
    tabs->addTab(buildCommandPage(), QStringLiteral("控制命令(&B)"));
    xpcmdbutton2 = new QPushButton(QStringLiteral("插入字段"), this);
    xpcmdbutton2->setObjectName(QStringLiteral("xpcmdbutton2"));
    xpcmdbutton1 = new QPushButton(QStringLiteral("保存修改"), this);
    xpcmdbutton1->setObjectName(QStringLiteral("xpcmdbutton1"));
    xpcmdbutton1->setAutoDefault(false);
    xpcmdbutton2->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(xpcmdbutton2);
    buttons->addWidget(xpcmdbutton1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs, 1);
    layout->addLayout(buttons);
    connect(xpcmdbutton2, &QPushButton::clicked, this, [this] { showVariables(); });
    connect(xpcmdbutton1, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { save(); }); });
    resize(1060, 660);
}

QWidget *frmDefPrint::buildFormatPage() {
    auto *page = new QWidget;
    cmbStock = new QComboBox(page);
    cmbStock->setObjectName(QStringLiteral("cmbStock"));
    cmbStock->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbStock->setMinimumContentsLength(16);
    cmbPort = new QComboBox(page);
    cmbPort->setObjectName(QStringLiteral("cmbPort"));
    cmbPort->setEditable(true);
    cmbPort->setMinimumContentsLength(8);

    auto box = [page](const char *name) {
        auto *e = new QLineEdit(page);
        e->setObjectName(QLatin1String(name));
        e->setMaximumWidth(60);
        return e;
    };
    txtHdrRows = box("txtHdrRows");
    txtTableHdrRows = box("txtTableHdrRows");
    txtBdyRows = box("txtBdyRows");
    txtItemNameLen = box("txtItemNameLen");
    txtBarcodeLen = box("txtBarcodeLen");
    txtAmountLen = box("txtAmountLen");
    chkRowHeight = new QCheckBox(QStringLiteral("加大打印行间距"), page);
    chkRowHeight->setObjectName(QStringLiteral("chkRowHeight"));

    auto *top = new QGridLayout;
    top->addWidget(new QLabel(QStringLiteral("仓库："), page), 0, 0);
    top->addWidget(cmbStock, 0, 1, 1, 3);
    top->addWidget(new QLabel(QStringLiteral("打印端口："), page), 0, 4);
    top->addWidget(cmbPort, 0, 5);
    const QList<QPair<QString, QLineEdit *>> boxes{{QStringLiteral("页眉行数："), txtHdrRows},
                                                   {QStringLiteral("表头行数："), txtTableHdrRows},
                                                   {QStringLiteral("表体行数："), txtBdyRows},
                                                   {QStringLiteral("商品名称打印长度："), txtItemNameLen},
                                                   {QStringLiteral("货号或条码打印长度："), txtBarcodeLen},
                                                   {QStringLiteral("单价金额长度："), txtAmountLen}};
    for (int i = 0; i < boxes.size(); ++i) {
        top->addWidget(new QLabel(boxes[i].first, page), 1 + i / 3, (i % 3) * 2, Qt::AlignRight);
        top->addWidget(boxes[i].second, 1 + i / 3, (i % 3) * 2 + 1);
    }
    top->addWidget(chkRowHeight, 1, 6);
    top->setColumnStretch(7, 1);

    txtConText = new QPlainTextEdit(page);
    txtConText->setObjectName(QStringLiteral("txtConText"));
    txtConText->setFont(receiptFont());
    txtConText->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtConText->installEventFilter(this);
    lstVariant = new FieldList(txtConText);
    lstVariant->setObjectName(QStringLiteral("lstVariant"));
    lstVariant->hide();
    lstVariant->installEventFilter(this);
    connect(lstVariant, &QListWidget::itemClicked, this, &frmDefPrint::pickVariable);
    connect(lstVariant, &QListWidget::itemActivated, this, &frmDefPrint::pickVariable);

    auto *previewPanel = new QWidget(page);
    spnPaperCols = new QSpinBox(previewPanel);
    spnPaperCols->setObjectName(QStringLiteral("spnPaperCols"));
    spnPaperCols->setRange(16, 80);
    spnPaperCols->setValue(DefaultPaperColumns);
    spnPaperCols->setSuffix(QStringLiteral(" 列"));
    preview = new ReceiptPreviewView;
    auto *scroll = new QScrollArea(previewPanel);
    scroll->setWidget(preview);
    scroll->setWidgetResizable(true);
    lblPreviewNote = new QLabel(previewPanel);
    lblPreviewNote->setObjectName(QStringLiteral("lblPreviewNote"));
    lblPreviewNote->setWordWrap(true);
    lblPreviewNote->setTextFormat(Qt::RichText);
    auto *paperRow = new QHBoxLayout;
    paperRow->addWidget(new QLabel(QStringLiteral("打印预览（示例销售）  纸宽："), previewPanel));
    paperRow->addWidget(spnPaperCols);
    paperRow->addStretch(1);
    auto *pv = new QVBoxLayout(previewPanel);
    pv->setContentsMargins(0, 0, 0, 0);
    pv->addLayout(paperRow);
    pv->addWidget(scroll, 1);
    pv->addWidget(lblPreviewNote);

    auto *split = new QSplitter(Qt::Horizontal, page);
    split->addWidget(txtConText);
    split->addWidget(previewPanel);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    split->setSizes({500, 500});

    auto *v = new QVBoxLayout(page);
    v->addLayout(top);
    v->addWidget(split, 1);

    connect(cmbStock, &QComboBox::currentIndexChanged, this, [this] { ui::errorTrap([this] { chooseStore(); }); });
    for (QLineEdit *e : {txtHdrRows, txtTableHdrRows, txtBdyRows, txtItemNameLen, txtBarcodeLen, txtAmountLen})
        connect(e, &QLineEdit::textChanged, this, &frmDefPrint::refreshPreview);
    connect(chkRowHeight, &QCheckBox::toggled, this, &frmDefPrint::refreshPreview);
    connect(txtConText, &QPlainTextEdit::textChanged, this, &frmDefPrint::refreshPreview);
    connect(spnPaperCols, &QSpinBox::valueChanged, this, &frmDefPrint::refreshPreview);
    return page;
}

QWidget *frmDefPrint::buildCommandPage() {
    auto *page = new QWidget;
    txtCmd_Beg = new QPlainTextEdit(page);
    txtCmd_Beg->setObjectName(QStringLiteral("txtCmd_Beg"));
    txtCmd_End = new QPlainTextEdit(page);
    txtCmd_End->setObjectName(QStringLiteral("txtCmd_End"));
    auto *note = new QLabel(QStringLiteral("打印控制命令：参考打印机说明书，参数间用逗号隔开，多行命令用回车换行。"), page);
    note->setWordWrap(true);
    auto *v = new QVBoxLayout(page);
    v->addWidget(note);
    v->addWidget(new QLabel(QStringLiteral("打印前控制命令："), page));
    v->addWidget(txtCmd_Beg, 1);
    v->addWidget(new QLabel(QStringLiteral("打印后控制命令："), page));
    v->addWidget(txtCmd_End, 1);
    return page;
}

void frmDefPrint::open() {
    cmbPort->addItems(ports());
    cmbPort->setCurrentText(startup::SettingsStore::value(App, Section, PortKey, QStringLiteral("LPT1")));
    db::Connection conn(startup::loginContext().cnstr());
    ReceiptTemplateStore store(conn);
    lstVariant->addItems(store.variables());
    const QStringList stores = store.stores();
    const QSignalBlocker block(cmbStock);
    cmbStock->addItems(stores);
    cmbStock->setCurrentIndex(-1);
    if (!stores.isEmpty()) {
        cmbStock->setCurrentIndex(0);
        chooseStore();
    }
}

void frmDefPrint::chooseStore() {
    const QString name = cmbStock->currentText();
    db::Connection conn(startup::loginContext().cnstr());
    ReceiptTemplateStore store(conn);
    // Without a row the screen keeps what it shows, to be saved under this store if the user saves.
    m_sample = store.sampleSale(name, startup::loginContext().userName(), QDateTime::currentDateTime());
    if (const auto t = store.load(name, shownTemplate()))
        showTemplate(*t);
    refreshPreview();
}

ReceiptTemplate frmDefPrint::shownTemplate() const {
    ReceiptTemplate t;
    t.stockName = cmbStock->currentText();
    t.conText = toCrLf(txtConText->toPlainText());
    t.hdrRows = numberValue(txtHdrRows->text());
    t.tableHdrRows = numberValue(txtTableHdrRows->text());
    t.bdyRows = numberValue(txtBdyRows->text());
    t.itemNameLen = numberValue(txtItemNameLen->text());
    t.barCodeLen = numberValue(txtBarcodeLen->text());
    t.amountLen = numberValue(txtAmountLen->text());
    t.jdRowHeight = chkRowHeight->isChecked();
    t.cmdBeg = toCrLf(txtCmd_Beg->toPlainText());
    t.cmdEnd = toCrLf(txtCmd_End->toPlainText());
    return t;
}

void frmDefPrint::showTemplate(const ReceiptTemplate &t) {
    txtConText->setPlainText(fromCrLf(t.conText));
    txtHdrRows->setText(QString::number(t.hdrRows));
    txtTableHdrRows->setText(QString::number(t.tableHdrRows));
    txtBdyRows->setText(QString::number(t.bdyRows));
    txtItemNameLen->setText(QString::number(t.itemNameLen));
    txtBarcodeLen->setText(QString::number(t.barCodeLen));
    txtAmountLen->setText(QString::number(t.amountLen));
    chkRowHeight->setChecked(t.jdRowHeight);
    txtCmd_Beg->setPlainText(fromCrLf(t.cmdBeg));
    txtCmd_End->setPlainText(fromCrLf(t.cmdEnd));
}

void frmDefPrint::showVariables() {
    tabs->setCurrentIndex(0);
    const QRect area = txtConText->viewport()->geometry();
    const int w = std::min(200, area.width());
    lstVariant->setGeometry(area.right() - w, area.top(), w, std::min(320, area.height()));
    lstVariant->show();
    lstVariant->raise();
    lstVariant->setFocus();
    if (lstVariant->currentRow() < 0 && lstVariant->count() > 0)
        lstVariant->setCurrentRow(0);
}

void frmDefPrint::pickVariable(QListWidgetItem *item) {
    if (!item || !lstVariant->isVisible())
        return;
    lstVariant->hide();
    txtConText->textCursor().insertText(item->text());
    txtConText->setFocus();
}

bool frmDefPrint::eventFilter(QObject *watched, QEvent *event) {
    if (watched == lstVariant && event->type() == QEvent::FocusOut)
        lstVariant->hide();
    else if (watched == lstVariant && event->type() == QEvent::KeyPress &&
             static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        lstVariant->hide();
        txtConText->setFocus();
        return true;
    } else if (watched == txtConText && event->type() == QEvent::FocusIn)
        lstVariant->hide();
    return QDialog::eventFilter(watched, event);
}

void frmDefPrint::save() {
    const ReceiptTemplate t = shownTemplate();
    if (t.stockName.isEmpty()) {
        ui::dialogs().info(QStringLiteral("帐套里没有仓库，小票格式无处保存。请先增加仓库。"));
        return;
    }
    db::Connection conn(startup::loginContext().cnstr());
    ReceiptTemplateStore(conn).save(t, QDateTime::currentDateTime());
    startup::SettingsStore::setValue(App, Section, PortKey, cmbPort->currentText());
    ui::dialogs().info(QStringLiteral("保存成功,请退出软件重新进入才会生效！"));
}

void frmDefPrint::refreshPreview() {
    if (!preview)
        return;
    const ReceiptTemplate t = shownTemplate();
    const Receipt r = renderReceipt(t, m_sample.sale, spnPaperCols->value());
    preview->setReceipt(r, t.jdRowHeight);
    QStringList notes;
    const QList<int> wide = r.tooWideLines();
    if (!wide.isEmpty()) {
        QStringList parts;
        for (int n : wide)
            parts.append(QStringLiteral("第 %1 行 %2 列").arg(n).arg(r.lines[n - 1].columns));
        notes.append(QStringLiteral("<span style='color:#c00000'>超出纸宽 %1 列：%2</span>")
                         .arg(r.paperColumns)
                         .arg(parts.join(QStringLiteral("，")).toHtmlEscaped()));
    }
    if (!r.unknownVariables.isEmpty())
        notes.append(QStringLiteral("预览不认识的字段，照原样显示：$%1$")
                         .arg(r.unknownVariables.join(QStringLiteral("$ $")))
                         .toHtmlEscaped());
    if (!m_sample.note.isEmpty())
        notes.append(m_sample.note.toHtmlEscaped());
    lblPreviewNote->setText(notes.join(QStringLiteral("<br>")));
}

} // namespace zostore::counter
