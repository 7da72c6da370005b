#include "modules/bills/frmPd.h"

#include "components/Registry.h"
#include "components/items/ItemLookup.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "modules/bills/BillStore.h"
#include "modules/bills/Stocktake.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"
#include "db/NumberText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace zostore::modules::bills {

namespace {

QString num(double v) { return db::figureText(v, 4); }

const QStringList Keys{QStringLiteral("FItemID"),  QStringLiteral("FGroup"),    QStringLiteral("FNumber"),
                       QStringLiteral("FName"),    QStringLiteral("FModel"),    QStringLiteral("FUnit"),
                       QStringLiteral("FBookQty"), QStringLiteral("FCountQty"), QStringLiteral("FDiff")};

} // namespace

frmPdBackup::frmPdBackup(QString cnstr, int userId, QWidget *parent)
    : QDialog(parent), m_cnstr(std::move(cnstr)), m_userId(userId) {
    setObjectName(QStringLiteral("frmPdBackup"));
    setWindowTitle(QStringLiteral("盘点前扎帐"));
    cmbStock = new QComboBox(this);
    cmbStock->setObjectName(QStringLiteral("cmbStock"));
    cmbStock->setMinimumWidth(200);
    Flex = new ui::Grid(this);
    Flex->setObjectName(QStringLiteral("Flex"));
    Flex->setCols(3);
    Flex->setFixedRows(1);
    Flex->setHeaders({QStringLiteral("盘点号"), QStringLiteral("仓库"), QStringLiteral("扎帐时间")});
    Flex->setColWidthTwips(1, 2400);
    Flex->setColWidthTwips(2, 2800);
    cmdFreeze = new QPushButton(QStringLiteral("扎帐(&Z)"), this);
    cmdFreeze->setObjectName(QStringLiteral("cmdFreeze"));
    cmdClose = new QPushButton(QStringLiteral("关闭(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("盘点仓库："), this));
    top->addWidget(cmbStock, 1);
    top->addWidget(cmdFreeze);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(
        new QLabel(QStringLiteral("扎帐后录入盘点结果；扎帐以后开的单据不影响盘盈盘亏。"), this), 1);
    bottom->addWidget(cmdClose);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addWidget(new QLabel(QStringLiteral("尚未录入结果的盘点："), this));
    lay->addWidget(Flex, 1);
    lay->addLayout(bottom);
    resize(620, 360);
    db::Connection conn(m_cnstr);
    for (auto rs = conn.open(
             QStringLiteral("select FItemID,FNumber||' '||FName as FText from t_Stock order by FNumber"));
         !rs.eof(); rs.moveNext())
        cmbStock->addItem(rs.text(QStringLiteral("FText")), rs.toInt(QStringLiteral("FItemID")));
    listOpen();
    connect(cmdFreeze, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { freeze(); }); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
}

void frmPdBackup::listOpen() {
    db::Connection conn(m_cnstr);
    QVector<QString> cells;
    const QList<OpenCount> open = Stocktake(conn, m_userId).openCounts();
    for (const OpenCount &c : open)
        cells << QString::number(c.pdId) << c.store << c.frozenAt;
    Flex->setData(open.size(), 3, std::move(cells));
}

void frmPdBackup::freeze() {
    if (ui::dialogs().question(QStringLiteral("是否对仓库“%1”扎帐，开始盘点？").arg(cmbStock->currentText()),
                               ui::Icon::Question, ui::Answer::Yes) != ui::Answer::Yes)
        return;
    db::Connection conn(m_cnstr);
    const int id = Stocktake(conn, m_userId).freeze(cmbStock->currentData().toInt());
    listOpen();
    ui::dialogs().info(QStringLiteral("扎帐完成，盘点号 %1。").arg(id));
}

frmPdData::frmPdData(QString cnstr, int userId, Mode mode, QWidget *parent)
    : QDialog(parent), m_cnstr(std::move(cnstr)), m_userId(userId), m_mode(mode) {
    const bool enter = mode == Mode::Enter;
    setObjectName(enter ? QStringLiteral("frmPdEntry") : QStringLiteral("frmPdPrint"));
    setWindowTitle(enter ? QStringLiteral("录入盘点结果") : QStringLiteral("打印盘点表"));
    m_conn = std::make_unique<db::Connection>(m_cnstr);
    cmbCount = new QComboBox(this);
    cmbCount->setObjectName(QStringLiteral("cmbCount"));
    cmbCount->setMinimumWidth(220);
    cmbGroup = new QComboBox(this);
    cmbGroup->setObjectName(QStringLiteral("cmbGroup"));
    cmbGroup->setMinimumWidth(160);
    chkBook = new QCheckBox(QStringLiteral("显示帐面数量"), this);
    chkBook->setObjectName(QStringLiteral("chkBook"));
    chkBook->setChecked(enter);
    chkBook->setVisible(!enter);
    txtScan = new QLineEdit(this);
    txtScan->setObjectName(QStringLiteral("txtScan"));
    txtScan->setPlaceholderText(QStringLiteral("扫描条码或输入商品代码，回车加一"));
    txtScan->setVisible(enter);
    Flex = new ui::Grid(this);
    Flex->setObjectName(QStringLiteral("Flex"));
    Flex->setCols(Keys.size());
    Flex->setFixedRows(1);
    for (int c = 0; c < Keys.size(); ++c)
        Flex->setColKey(c, Keys[c]);
    Flex->setHeaders({QString(), QStringLiteral("商品类别"), QStringLiteral("商品代码"),
                      QStringLiteral("商品名称"), QStringLiteral("规格型号"), QStringLiteral("单位"),
                      QStringLiteral("帐面数量"), QStringLiteral("盘点数量"), QStringLiteral("盈亏数量")});
    Flex->setColHidden(0, true);
    const int widths[] = {0, 1500, 1500, 2600, 1300, 700, 1100, 1100, 1100};
    for (int c = 1; c < Keys.size(); ++c)
        Flex->setColWidthTwips(c, widths[c]);
    for (int c = 6; c < 9; ++c)
        Flex->setColAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    Flex->setEditable(enter);
    for (int c = 0; c < Keys.size(); ++c)
        Flex->setColEditable(c, enter && Keys[c] == QLatin1String("FCountQty"));
    Flex->setColHidden(8, !enter);
    lblState = new QLabel(this);
    lblState->setObjectName(QStringLiteral("lblState"));
    cmdPrint = new QPushButton(QStringLiteral("打印(&P)"), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdPreview = new QPushButton(QStringLiteral("预览(&V)"), this);
    cmdPreview->setObjectName(QStringLiteral("cmdPreview"));
    cmdSave = new QPushButton(QStringLiteral("保存(&S)"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdGenerate = new QPushButton(QStringLiteral("生成盘盈盘亏单(&G)"), this);
    cmdGenerate->setObjectName(QStringLiteral("cmdGenerate"));
    cmdClose = new QPushButton(QStringLiteral("关闭(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton *b : {cmdSave, cmdGenerate})
        b->setVisible(enter);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("盘点："), this));
    top->addWidget(cmbCount);
    top->addWidget(new QLabel(QStringLiteral("商品类别："), this));
    top->addWidget(cmbGroup);
    top->addWidget(chkBook);
    top->addWidget(txtScan, 1);
    if (!enter)
        top->addStretch(1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblState, 1);
    for (QPushButton *b : {cmdPrint, cmdPreview, cmdSave, cmdGenerate, cmdClose})
        bottom->addWidget(b);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addWidget(Flex, 1);
    lay->addLayout(bottom);
    resize(960, 580);

    Stocktake counts(*m_conn, m_userId);
    for (const OpenCount &c : counts.openCounts())
        cmbCount->addItem(QStringLiteral("%1 %2（%3 扎帐）").arg(c.pdId).arg(c.store, c.frozenAt), c.pdId);
    cmbGroup->addItem(QStringLiteral("（全部类别）"), 0);
    for (auto rs = m_conn->open(
             QStringLiteral("select FItemID,FNumber||' '||FName as FText from t_ItemGroup order by FNumber"));
         !rs.eof(); rs.moveNext())
        cmbGroup->addItem(rs.text(QStringLiteral("FText")), rs.toInt(QStringLiteral("FItemID")));
    if (cmbCount->count() == 0) {
        lblState->setText(QStringLiteral("没有已扎帐而未录入结果的盘点，请先“盘点前扎帐”。"));
        for (QWidget *w :
             std::initializer_list<QWidget *>{cmdPrint, cmdPreview, cmdSave, cmdGenerate, txtScan})
            w->setEnabled(false);
    } else {
        load();
    }
    const auto reload = [this] {
        ui::errorTrap([this] {
            if (m_dirty && m_mode == Mode::Enter &&
                ui::dialogs().question(QStringLiteral("盘点数量已经改变，是否保存？"), ui::Icon::Question,
                                       ui::Answer::Yes) == ui::Answer::Yes)
                save();
            load();
        });
    };
    connect(cmbCount, &QComboBox::currentIndexChanged, this, reload);
    connect(cmbGroup, &QComboBox::currentIndexChanged, this, reload);
    connect(chkBook, &QCheckBox::toggled, this, [this](bool on) { Flex->setColHidden(6, !on); });
    connect(Flex, &ui::Grid::afterEdit, this,
            [this](int r, int c) { ui::errorTrap([&] { afterEdit(r, c); }); });
    connect(txtScan, &QLineEdit::returnPressed, this, [this] {
        ui::errorTrap([this] { scan(txtScan->text()); });
        txtScan->clear();
    });
    connect(cmdPrint, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { print(true); }); });
    connect(cmdPreview, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { print(false); }); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { save(); }); });
    connect(cmdGenerate, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { generate(); }); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
}

frmPdData::~frmPdData() = default;

void frmPdData::load() {
    const QList<CountLine> lines =
        Stocktake(*m_conn, m_userId).sheet(cmbCount->currentData().toInt(), cmbGroup->currentData().toInt());
    const bool enter = m_mode == Mode::Enter;
    QVector<QString> cells;
    for (const CountLine &l : lines)
        cells << QString::number(l.itemId) << l.group << l.number << l.name << l.model << l.unit
              << num(l.bookQty) << (l.counted && enter ? num(l.countQty) : QString())
              << (l.counted ? num(l.countQty - l.bookQty) : QString());
    Flex->setData(lines.size(), Keys.size(), std::move(cells));
    Flex->setColHidden(6, !chkBook->isChecked());
    m_dirty = false;
    lblState->setText(QStringLiteral("共 %1 种商品").arg(lines.size()));
}

void frmPdData::afterEdit(int row, int col) {
    const QString t = Flex->textMatrix(row, col).trimmed();
    bool ok = t.isEmpty();
    const double v = t.toDouble(&ok);
    if (!t.isEmpty() && (!ok || v < 0 || !std::isfinite(v))) {
        Flex->setTextMatrix(row, col, Flex->editedFrom());
        ui::dialogs().warning(QStringLiteral("盘点数量必须是不小于零的数字。"));
        return;
    }
    Flex->setText(row, QStringLiteral("FDiff"),
                  t.isEmpty() ? QString() : num(v - Flex->text(row, QStringLiteral("FBookQty")).toDouble()));
    m_dirty = true;
}

void frmPdData::scan(const QString &text) {
    if (text.trimmed().isEmpty())
        return;
    if (!m_lookup)
        m_lookup = std::make_unique<components::items::ItemLookup>(*m_conn, 0);
    const auto found = m_lookup->find(text);
    if (!found)
        throw Error(QStringLiteral("没有找到代码或条码为“%1”的商品。").arg(text.trimmed()));
    for (int r = Flex->fixedRows(); r < Flex->rows(); ++r) {
        if (Flex->text(r, QStringLiteral("FItemID")).toInt() != found->itemId)
            continue;
        const double now = Flex->text(r, QStringLiteral("FCountQty")).toDouble() +
                           (found->isPackage() ? found->barcodeExchange : 1);
        Flex->setText(r, QStringLiteral("FCountQty"), num(now));
        Flex->setText(r, QStringLiteral("FDiff"),
                      num(now - Flex->text(r, QStringLiteral("FBookQty")).toDouble()));
        const QModelIndex at =
            Flex->model()->index(r - Flex->fixedRows(), Flex->colIndex(QStringLiteral("FCountQty")));
        Flex->setCurrentIndex(at);
        Flex->scrollTo(at);
        m_dirty = true;
        return;
    }
    throw Error(QStringLiteral("商品“%1”不在这张盘点表的类别中。").arg(found->name));
}

bool frmPdData::save() {
    QHash<int, double> counts;
    for (int r = Flex->fixedRows(); r < Flex->rows(); ++r) {
        const QString t = Flex->text(r, QStringLiteral("FCountQty")).trimmed();
        if (!t.isEmpty())
            counts.insert(Flex->text(r, QStringLiteral("FItemID")).toInt(), t.toDouble());
    }
    Stocktake(*m_conn, m_userId).saveCounts(cmbCount->currentData().toInt(), counts);
    m_dirty = false;
    lblState->setText(QStringLiteral("已保存 %1 种商品的盘点数量。").arg(counts.size()));
    return true;
}

void frmPdData::generate() {
    if (m_dirty)
        save();
    if (ui::dialogs().question(
            QStringLiteral(
                "按已录入的盘点数量生成盘盈（其他入库）和盘亏（其他出库）单，这次盘点随即结束。是否继续？"),
            ui::Icon::Question, ui::Answer::No) != ui::Answer::Yes)
        return;
    BillStore bills(*m_conn, m_userId);
    const QDate today = QDate::currentDate();
    const QDate date = today.year() == bills.currentYear() && today.month() == bills.currentPeriod()
                           ? today
                           : QDate(bills.currentYear(), bills.currentPeriod(), 1).addMonths(1).addDays(-1);
    const CountResult r = Stocktake(*m_conn, m_userId).generate(cmbCount->currentData().toInt(), date);
    QStringList done;
    if (!r.gainBillNo.isEmpty())
        done << QStringLiteral("盘盈 %1 种商品，其他入库单 %2").arg(r.gains).arg(r.gainBillNo);
    if (!r.lossBillNo.isEmpty())
        done << QStringLiteral("盘亏 %1 种商品，其他出库单 %2").arg(r.losses).arg(r.lossBillNo);
    ui::dialogs().info(done.isEmpty() ? QStringLiteral("盘点数量与帐面数量一致，没有生成单据。")
                                      : done.join(u'\n'));
    cmbCount->removeItem(cmbCount->currentIndex());
    if (cmbCount->count() == 0) {
        Flex->clear();
        for (QWidget *w :
             std::initializer_list<QWidget *>{cmdPrint, cmdPreview, cmdSave, cmdGenerate, txtScan})
            w->setEnabled(false);
    }
}

void frmPdData::print(bool direct) {
    components::createObject(QStringLiteral("VNPrinter.DoPrint"))
        ->invoke(QStringLiteral("DoPrint"),
                 {direct, m_cnstr, objectName(), QStringLiteral("盘点表"),
                  QVariant(QVariantList{QVariantList{QStringLiteral("盘点：") + cmbCount->currentText()}}),
                  QVariant::fromValue<QObject *>(Flex)});
}

} // namespace zostore::modules::bills
