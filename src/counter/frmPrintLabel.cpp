#include "counter/frmPrintLabel.h"

#include "components/Registry.h"
#include "components/labels/LabelFormatStore.h"
#include "components/labels/LabelList.h"
#include "components/labels/LabelListComponent.h"
#include "counter/PluExport.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "startup/FormServices.h"
#include "startup/LoginContext.h"
#include "startup/SettingsStore.h"
#include "ui/ActBar.h"
#include "ui/Dialogs.h"
#include "ui/Grid.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QSharedPointer>
#include <QToolBar>

namespace zostore::counter {

namespace {
constexpr short LabelTranType = components::labels::LabelTranType;
const QString App = QStringLiteral("ZoStore");
const QString Section = QStringLiteral("DefaultValue");
const QString BegCharKey = QStringLiteral("WeightBegChar");
const QString QtyKey = QStringLiteral("LabelQtyPerRow");
} // namespace

frmPrintLabel::frmPrintLabel(QWidget *parent)
    : QMainWindow(parent), m_label(components::createObject(components::labels::LabelListComponent::ProgId)) {
    setObjectName(QStringLiteral("frmPrintLabel"));
    setWindowTitle(QStringLiteral("打印商品标签"));
    setAttribute(Qt::WA_DeleteOnClose);
    build();
    const auto &login = startup::loginContext();
    m_label->invoke(QStringLiteral("Init"), {login.cnstr(), login.userId()});
    txtBegChar->setText(startup::SettingsStore::value(App, Section, BegCharKey, QStringLiteral("22")));
    try {
        fillFormats();
    } catch (const Error &e) {
        ui::dialogs().info(QStringLiteral("读取标签格式失败：") + e.description());
    }
    txtQty->setText(startup::SettingsStore::value(App, Section, QtyKey, QStringLiteral("1")));
    connect(txtBegChar, &QLineEdit::textChanged, this,
            [](const QString &text) { startup::SettingsStore::setValue(App, Section, BegCharKey, text); });
}

frmPrintLabel::~frmPrintLabel() = default;

components::labels::LabelList *frmPrintLabel::labelList() const {
    return qobject_cast<components::labels::LabelList *>(
        m_label->property(QStringLiteral("Control")).value<QObject *>());
}

void frmPrintLabel::build() {
    ActiveBar1 = new ui::ActBar(this);
    const QString band = QStringLiteral("tool");
    ActiveBar1->addBand(band, ui::ActBar::BandType::Toolbar, QStringLiteral("工具栏"));
    ActiveBar1->addTool(band, QStringLiteral("new"), QStringLiteral("清空表格"));
    ActiveBar1->addTool(band, QStringLiteral("excel"), QStringLiteral("寺冈称PLU导出"));
    ActiveBar1->addTool(band, QStringLiteral("pageset"), QStringLiteral("设置表格格式"));
    ActiveBar1->addTool(band, QStringLiteral("deleterow"), QStringLiteral("删除行"));
    ActiveBar1->addSeparator(band);
    ActiveBar1->addTool(band, QStringLiteral("print"), QStringLiteral("打印签标"));
    ActiveBar1->addTool(band, QStringLiteral("desige"), QStringLiteral("调用套打设计器"));
    ActiveBar1->addTool(band, QStringLiteral("printset"), QStringLiteral("套打设置"));
    ActiveBar1->addSeparator(band);
    ActiveBar1->addTool(band, QStringLiteral("exit"), QStringLiteral("退出"));
    ActiveBar1->toolbar(band)->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(ActiveBar1, &ui::ActBar::toolClicked, this, &frmPrintLabel::runTool);

    auto *central = new QWidget(this);
    auto *grid = new QGridLayout(central);
    cmbPrintFmt = new QComboBox(central);
    cmbPrintFmt->setObjectName(QStringLiteral("cmbPrintFmt"));
    cmbPrintFmt->setMinimumContentsLength(16);
    txtQty = new QLineEdit(central);
    txtQty->setObjectName(QStringLiteral("txtQty"));
    txtQty->setValidator(new QIntValidator(1, 50, txtQty));
    txtQty->setMaximumWidth(60);
    txtBegChar = new QLineEdit(central);
    txtBegChar->setObjectName(QStringLiteral("txtBegChar"));
    txtBegChar->setMaxLength(10);
    txtBegChar->setMaximumWidth(80);
    grid->addWidget(new QLabel(QStringLiteral("打印格式："), central), 0, 0);
    grid->addWidget(cmbPrintFmt, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("每行打印标签数："), central), 0, 2);
    grid->addWidget(txtQty, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("导出文本文件："), central), 0, 4);
    grid->addWidget(txtBegChar, 0, 5);
    grid->setColumnStretch(6, 1);
    auto *list = labelList();
    list->setParent(central);
    grid->addWidget(list, 1, 0, 1, 7);
    grid->setRowStretch(1, 1);
    setCentralWidget(central);
    resize(900, 560);
}

void frmPrintLabel::fillFormats() {
    cmbPrintFmt->clear();
    db::Connection conn(startup::loginContext().cnstr());
    int selected = -1;
    for (const auto &f : components::labels::LabelFormatStore(conn).list()) {
        cmbPrintFmt->addItem(f.name);
        if (f.selected)
            selected = cmbPrintFmt->count() - 1;
    }
    cmbPrintFmt->setCurrentIndex(selected);
}

int frmPrintLabel::labelsPerRow() const { return txtQty->text().toInt(); }

void frmPrintLabel::runTool(const QString &key) {
    try {
        const auto &login = startup::loginContext();
        if (key == QLatin1String("new")) {
            m_label->invoke(QStringLiteral("Clear"));
        } else if (key == QLatin1String("deleterow")) {
            m_label->invoke(QStringLiteral("DeleteRow"));
        } else if (key == QLatin1String("pageset")) {
            auto *g = labelList()->grid();
            startup::ShowPageSetup(g, g->cols(), objectName());
            startup::ApplyGridFormat(g, objectName());
        } else if (key == QLatin1String("print")) {
            print();
        } else if (key == QLatin1String("printset")) {
            components::createObject(QStringLiteral("ZoTDPrinter.TDSet"))
                ->invoke(QStringLiteral("TDSet"), {login.cnstr(), LabelTranType});
        } else if (key == QLatin1String("desige")) {
            components::createObject(QStringLiteral("ZoDesiger_Dll.Desiger"))
                ->invoke(QStringLiteral("RunDesiger"), {login.cnstr(), LabelTranType});
        } else if (key == QLatin1String("excel")) {
            exportPlu();
        } else if (key == QLatin1String("exit")) {
            close();
        }
    } catch (const Error &e) {
        ui::dialogs().info(e.description());
    }
}

void frmPrintLabel::print() {
    if (cmbPrintFmt->currentIndex() < 0) {
        ui::dialogs().info(QStringLiteral("请选择打印格式！"));
        cmbPrintFmt->setFocus();
        return;
    }
    const auto &login = startup::loginContext();
    const QVariant data = m_label->invoke(QStringLiteral("LabelData"), {labelsPerRow()});
    components::createObject(QStringLiteral("ZoTdPrinter.Printer"))
        ->invoke(QStringLiteral("DoPrint"),
                 {false, login.cnstr(), LabelTranType, false, true, data, cmbPrintFmt->currentText()});
}

void frmPrintLabel::exportPlu() {
    const QString path = ui::dialogs().saveFileName(QStringLiteral("寺冈称PLU导出"), {},
                                                    QStringLiteral("文本文件 (*.txt)"));
    if (path.isEmpty())
        return;
    writePluFile(path, *labelList()->grid(), txtBegChar->text());
    ui::dialogs().message(QStringLiteral("导出完成，文件名：") + path, ui::Icon::None);
}

void frmPrintLabel::closeEvent(QCloseEvent *event) {
    startup::SettingsStore::setValue(App, Section, QtyKey, txtQty->text());
    event->accept();
}

} // namespace zostore::counter
