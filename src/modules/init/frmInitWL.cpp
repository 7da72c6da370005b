#include "modules/init/frmInitWL.h"

#include "db/Connection.h"
#include "modules/init/InitState.h"
#include "startup/FormServices.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace zostore::modules::init {

namespace {

QString money(double v) { return std::abs(v) < 0.005 ? QString() : QString::number(v, 'f', 2); }

} // namespace

frmInitWL::frmInitWL(QString cnstr, PartnerKind kind, QWidget *parent)
    : QDialog(parent), m_cnstr(std::move(cnstr)), m_kind(kind) {
    setObjectName(kind == PartnerKind::Customers ? QStringLiteral("frmInitWL_1") : QStringLiteral("frmInitWL_2"));
    setWindowTitle(OpeningPartners::title(kind));
    lblState = new QLabel(this);
    lblState->setWordWrap(true);
    Flex = new ui::Grid(this);
    Flex->setObjectName(QStringLiteral("Flex"));
    Flex->setCols(4);
    Flex->setFixedRows(1);
    const QStringList keys{QStringLiteral("FItemID"), QStringLiteral("FNumber"), QStringLiteral("FName"),
                           QStringLiteral("FAmount")};
    for (int c = 0; c < keys.size(); ++c)
        Flex->setColKey(c, keys[c]);
    const bool customers = kind == PartnerKind::Customers;
    Flex->setHeaders({QString(), customers ? QStringLiteral("客户代码") : QStringLiteral("供应商代码"),
                      customers ? QStringLiteral("客户名称") : QStringLiteral("供应商名称"),
                      customers ? QStringLiteral("期初应收金额") : QStringLiteral("期初应付金额")});
    Flex->setColHidden(0, true);
    Flex->setColAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    for (int c = 0; c < 3; ++c)
        Flex->setColEditable(c, false);
    lblTotal = new QLabel(this);
    cmdSave = new QPushButton(QStringLiteral("保存(&S)"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdClose = new QPushButton(QStringLiteral("关闭(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblTotal, 1);
    bottom->addWidget(cmdSave);
    bottom->addWidget(cmdClose);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(lblState);
    lay->addWidget(Flex, 1);
    lay->addLayout(bottom);
    resize(640, 520);
    connect(Flex, &ui::Grid::afterEdit, this, [this](int r, int c) { afterEdit(r, c); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { save(); });
    connect(cmdClose, &QPushButton::clicked, this, &frmInitWL::reject);
    ui::errorTrap([this] { load(); });
}

void frmInitWL::load() {
    db::Connection conn(m_cnstr);
    const InitState s = InitState::read(conn);
    const QString why = s.whyReadOnly();
    lblState->setText(why.isEmpty() ? QStringLiteral("期初月份：%1。录入每个往来单位在启用月份月初的余额（可为负数），"
                                                     "再按“保存”。")
                                          .arg(s.monthText())
                                    : why);
    cmdSave->setEnabled(why.isEmpty());
    Flex->setEditable(why.isEmpty());
    const QList<PartnerOpening> lines = OpeningPartners(conn, m_kind).lines();
    QVector<QString> cells;
    for (const PartnerOpening &p : lines)
        cells << QString::number(p.partnerId) << p.number << p.name << money(p.amount);
    Flex->setData(lines.size(), 4, std::move(cells));
    Flex->fitColumns();
    startup::ApplyGridFormat(Flex, objectName());
    m_dirty.clear();
    showTotal();
}

void frmInitWL::afterEdit(int row, int col) {
    const QString t = Flex->textMatrix(row, col).trimmed();
    bool ok = t.isEmpty();
    const double v = ok ? 0 : t.toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        Flex->setTextMatrix(row, col, Flex->editedFrom());
        ui::dialogs().info(QStringLiteral("期初余额必须是数字。"));
        return;
    }
    Flex->setTextMatrix(row, col, money(v));
    m_dirty.insert(row);
    showTotal();
}

void frmInitWL::showTotal() {
    double sum = 0;
    for (int r = Flex->fixedRows(); r < Flex->rows(); ++r)
        sum += Flex->text(r, QStringLiteral("FAmount")).toDouble();
    lblTotal->setText(QStringLiteral("合计：%1%2")
                          .arg(sum, 0, 'f', 2)
                          .arg(m_dirty.isEmpty() ? QString() : QStringLiteral("（有 %1 行未保存）").arg(m_dirty.size())));
}

bool frmInitWL::save() {
    QList<PartnerOpening> changed;
    for (int r : std::as_const(m_dirty))
        changed.append({Flex->text(r, QStringLiteral("FItemID")).toInt(), Flex->text(r, QStringLiteral("FNumber")),
                        Flex->text(r, QStringLiteral("FName")), Flex->text(r, QStringLiteral("FAmount")).toDouble()});
    bool done = false;
    ui::errorTrap([&] {
        db::Connection conn(m_cnstr);
        OpeningPartners(conn, m_kind).save(changed);
        done = true;
    });
    if (!done)
        return false;
    m_dirty.clear();
    showTotal();
    ui::dialogs().info(QStringLiteral("期初余额已保存。"));
    return true;
}

void frmInitWL::reject() {
    if (!m_dirty.isEmpty()) {
        const ui::Answer a = ui::dialogs().questionWithCancel(
            QStringLiteral("期初余额有 %1 行改动还没有保存，是否保存？").arg(m_dirty.size()));
        if (a == ui::Answer::Cancel || (a == ui::Answer::Yes && !save()))
            return;
    }
    QDialog::reject();
}

} // namespace zostore::modules::init
