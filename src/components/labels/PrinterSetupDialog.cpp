#include "components/labels/PrinterSetupDialog.h"

#include "components/labels/SpinBoxes.h"
#include "ui/Dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPrinterInfo>
#include <QPushButton>

namespace zostore::components::labels {

PrinterSetupDialog::PrinterSetupDialog(const QStringList &formats, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTDSet"));
    setWindowTitle(QStringLiteral("套打设置"));
    lstFormats = new QListWidget(this);
    lstFormats->addItems(formats);
    lstFormats->setMinimumWidth(180);
    cmbPrinter = new QComboBox(this);
    cmbPrinter->addItem(QStringLiteral("（系统默认打印机）"), QString());
    for (const QString &p : QPrinterInfo::availablePrinterNames())
        cmbPrinter->addItem(p, p);
    txtPaperWidth = mmBox(this, 20, 1000);
    txtPaperHeight = mmBox(this, 10, 3000);
    txtOffsetX = mmBox(this, -50, 50);
    txtOffsetY = mmBox(this, -50, 50);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("打印机："), cmbPrinter);
    form->addRow(QStringLiteral("纸张宽度："), txtPaperWidth);
    form->addRow(QStringLiteral("纸张高度："), txtPaperHeight);
    form->addRow(QStringLiteral("向右偏移："), txtOffsetX);
    form->addRow(QStringLiteral("向下偏移："), txtOffsetY);
    auto *note = new QLabel(QPrinterInfo::availablePrinterNames().isEmpty()
                                ? QStringLiteral("本机没有安装打印机；打印标签时会改为保存成 PDF 文件。")
                                : QStringLiteral("偏移用来校正打印机走纸的误差，负数向左、向上。"),
                            this);
    note->setWordWrap(true);
    form->addRow(note);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("保存"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("关闭"));
    auto *top = new QHBoxLayout;
    top->addWidget(lstFormats);
    top->addLayout(form, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (saveShown())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(lstFormats, &QListWidget::currentTextChanged, this, [this](const QString &name) {
        if (!m_shown.isEmpty())
            saveShown();
        showSetup(name);
    });
    setEnabled(true);
    if (!formats.isEmpty())
        lstFormats->setCurrentRow(0);
    resize(560, 320);
}

void PrinterSetupDialog::showSetup(const QString &format) {
    m_shown = format;
    const PrinterSetup s = PrinterSetup::load(format);
    int i = cmbPrinter->findData(s.printerName);
    if (i < 0) {
        // Kept so that a printer that is away for now is not forgotten.
        cmbPrinter->addItem(s.printerName + QStringLiteral("（未找到）"), s.printerName);
        i = cmbPrinter->count() - 1;
    }
    cmbPrinter->setCurrentIndex(i);
    txtPaperWidth->setValue(s.paperMm.width());
    txtPaperHeight->setValue(s.paperMm.height());
    txtOffsetX->setValue(s.offsetMm.x());
    txtOffsetY->setValue(s.offsetMm.y());
}

bool PrinterSetupDialog::saveShown() {
    if (m_shown.isEmpty()) {
        ui::dialogs().info(QStringLiteral("还没有标签格式，请先在套打设计器里设计一个。"));
        return false;
    }
    PrinterSetup s;
    s.printerName = cmbPrinter->currentData().toString();
    s.paperMm = {txtPaperWidth->value(), txtPaperHeight->value()};
    s.offsetMm = {txtOffsetX->value(), txtOffsetY->value()};
    s.save(m_shown);
    return true;
}

} // namespace zostore::components::labels
