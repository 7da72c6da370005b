// The system parameters window: profile keys bound to controls by name, and the member-points tables.
#include "params/frmSetPara.h"

#include "db/Connection.h"
#include "params/ProfileKeys.h"
#include "params/SystemParameters.h"
#include "startup/LoginContext.h"
#include "stocklimit/NumberText.h"
#include "ui/DateTimePickers.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"
#include "ui/WaitCursor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zostore::params {

namespace {

const char *const CaptionProperty = "profileCaption";
const char *const IndexProperty = "optionIndex";
constexpr int JfRows = 21;
constexpr int JfAmountRows = 11;

// The pass password is shown as asterisks whatever the platform's password character.
class AsteriskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *ret) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

QString shownCaption(QString caption) {
    // The stored caption keeps its line break; the box shows the words only.
    while (caption.endsWith(QLatin1Char('\n')) || caption.endsWith(QLatin1Char('\r')))
        caption.chop(1);
    return caption;
}

struct PageParts {
    QWidget *page = nullptr;
    QGridLayout *rows = nullptr;   // text boxes outside frames
    QVBoxLayout *checks = nullptr; // check boxes outside frames
    QVBoxLayout *right = nullptr;  // frames
    QMap<QString, QGridLayout *> frames;
};

} // namespace

frmSetPara::frmSetPara(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSetPara"));
    setWindowTitle(QStringLiteral("设置参数"));
    buildPages();
    ui::errorTrap([this] { load(); });
}

QWidget *frmSetPara::keyControl(const QString &key) const {
    for (const char *prefix : {"chk_", "opt_", "txt_"})
        if (auto *w = findChild<QWidget *>(QString::fromLatin1(prefix) + key))
            return w;
    return nullptr;
}

QLineEdit *frmSetPara::textBox(const QString &key) const {
    return findChild<QLineEdit *>(QStringLiteral("txt_") + key);
}

QCheckBox *frmSetPara::checkBox(const QString &key) const {
    return findChild<QCheckBox *>(QStringLiteral("chk_") + key);
}

int frmSetPara::selectedOption(const QString &key) const {
    for (QRadioButton *r : findChildren<QRadioButton *>(QStringLiteral("opt_") + key))
        if (r->isChecked())
            return r->property(IndexProperty).toInt();
    return -1;
}

void frmSetPara::selectOption(const QString &key, int index) {
    for (QRadioButton *r : findChildren<QRadioButton *>(QStringLiteral("opt_") + key))
        if (r->property(IndexProperty).toInt() == index) {
            r->setChecked(true);
            onCostStyleClicked();
        }
}

QWidget *frmSetPara::buildControl(const ProfileKey &k, QWidget *parent) {
    switch (k.kind) {
    case KeyKind::Check: {
        auto *c = new QCheckBox(shownCaption(k.caption), parent);
        c->setObjectName(QStringLiteral("chk_") + k.key);
        c->setProperty(CaptionProperty, k.caption);
        c->setChecked(k.defaultValue == QLatin1String("1"));
        return c;
    }
    case KeyKind::Options: {
        auto *box = new QWidget(parent);
        auto *lay = new QVBoxLayout(box);
        lay->setContentsMargins(0, 0, 0, 0);
        auto *group = new QButtonGroup(box);
        for (const KeyOption &o : k.options) {
            auto *r = new QRadioButton(o.caption, box);
            r->setObjectName(QStringLiteral("opt_") + k.key);
            r->setProperty(IndexProperty, o.index);
            r->setChecked(QString::number(o.index) == k.defaultValue);
            group->addButton(r);
            lay->addWidget(r);
            if (k.key == QLatin1String("CostStyle"))
                connect(r, &QRadioButton::clicked, this, &frmSetPara::onCostStyleClicked);
        }
        return box;
    }
    case KeyKind::Text:
    case KeyKind::List:
        break;
    }
    auto *e = new QLineEdit(k.defaultValue, parent);
    e->setObjectName(QStringLiteral("txt_") + k.key);
    e->setMinimumWidth(60);
    return e;
}

void frmSetPara::addKeyRow(const ProfileKey &k, QGridLayout *rows, QWidget *parent) {
    QWidget *control = buildControl(k, parent);
    int &next = m_nextRow[rows];
    auto *line = qobject_cast<QLineEdit *>(control);
    if (!line) {
        rows->addWidget(control, next++, 0, 1, 2);
        return;
    }
    // A text box without a label continues the row above (year and month, start and length).
    QHBoxLayout *row = nullptr;
    if (k.caption.isEmpty() && next > 0) {
        if (QLayoutItem *item = rows->itemAtPosition(next - 1, 1))
            row = qobject_cast<QHBoxLayout *>(item->layout());
    }
    if (!row) {
        auto *label = new QLabel(k.caption, parent);
        label->setBuddy(line);
        row = new QHBoxLayout;
        row->addStretch(1);
        rows->addWidget(label, next, 0, Qt::AlignRight);
        rows->addLayout(row, next++, 1);
    }
    if (!k.prefix.isEmpty())
        row->insertWidget(row->count() - 1, new QLabel(k.prefix, parent));
    row->insertWidget(row->count() - 1, line);
    if (!k.suffix.isEmpty())
        row->insertWidget(row->count() - 1, new QLabel(k.suffix, parent));
}

void frmSetPara::buildPages() {
    auto *outer = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("设置帐套参数"), this);
    QFont hf = heading->font();
    hf.setBold(true);
    hf.setPointSizeF(hf.pointSizeF() * 1.4);
    heading->setFont(hf);
    outer->addWidget(heading);

    tabs = new QTabWidget(this);
    outer->addWidget(tabs, 1);
    const QList<QPair<Page, QString>> pageTitles = {{Page::Stock, QStringLiteral("进销存参数(&A)")},
                                                    {Page::Pos, QStringLiteral("Pos参数(&B)")},
                                                    {Page::Member, QStringLiteral("会员参数(&K)")},
                                                    {Page::Comm, QStringLiteral("通讯设置")}};
    QMap<Page, PageParts> pages;
    for (const auto &[page, title] : pageTitles) {
        PageParts p;
        p.page = new QWidget(tabs);
        auto *h = new QHBoxLayout(p.page);
        auto *left = new QVBoxLayout;
        p.rows = new QGridLayout;
        p.checks = new QVBoxLayout;
        left->addLayout(p.rows);
        left->addLayout(p.checks);
        left->addStretch(1);
        p.right = new QVBoxLayout;
        h->addLayout(left, 1);
        h->addLayout(p.right, 1);
        tabs->addTab(p.page, title);
        pages.insert(page, p);
    }

    for (const ProfileKey &k : profileKeys()) {
        PageParts &p = pages[k.page];
        if (!k.frame.isEmpty()) {
            QGridLayout *&frame = p.frames[k.frame];
            if (!frame) {
                auto *box = new QGroupBox(k.frame, p.page);
                frame = new QGridLayout(box);
                p.right->addWidget(box);
            }
            addKeyRow(k, frame, frame->parentWidget());
        } else if (k.kind == KeyKind::Check) {
            p.checks->addWidget(buildControl(k, p.page));
        } else {
            addKeyRow(k, p.rows, p.page);
        }
    }

    // Current month follows the start month while the account set has not moved past it.
    textBox(QStringLiteral("CurrentYear"))->setReadOnly(true);
    textBox(QStringLiteral("CurrentPeriod"))->setReadOnly(true);
    connect(textBox(QStringLiteral("StartYear")), &QLineEdit::textEdited, this,
            [this](const QString &t) { textBox(QStringLiteral("CurrentYear"))->setText(t); });
    connect(textBox(QStringLiteral("StartPeriod")), &QLineEdit::textEdited, this,
            [this](const QString &t) { textBox(QStringLiteral("CurrentPeriod"))->setText(t); });
    textBox(QStringLiteral("UPdateGradeSourcePath"))->setMinimumWidth(320);
    textBox(QStringLiteral("PosAllowModifyPriceItem"))->setMinimumWidth(140);
    QLineEdit *pwd = textBox(QStringLiteral("LoginSetAcctPwd"));
    pwd->setStyle(new AsteriskStyle);
    pwd->style()->setParent(pwd);
    pwd->setEchoMode(QLineEdit::Password);

    PageParts &stock = pages[Page::Stock];
    QGridLayout *cost = stock.frames.value(QStringLiteral("成本计算方式"));
    cmbCostStyle = new QComboBox(cost->parentWidget());
    cmbCostStyle->setObjectName(QStringLiteral("cmbCostStyle"));
    cmbCostStyle->setVisible(false);
    cost->addWidget(cmbCostStyle, m_nextRow[cost]++, 0, 1, 2);
    cmdGenStockAmount = new QPushButton(QStringLiteral("用当前进价重新生成期初库存金额"), stock.page);
    cmdGenStockAmount->setObjectName(QStringLiteral("cmdGenStockAmount"));
    stock.right->addWidget(cmdGenStockAmount);
    stock.right->addStretch(1);

    PageParts &member = pages[Page::Member];
    cmbCardType = new QComboBox(member.page);
    cmbCardType->setObjectName(QStringLiteral("cmbCardType"));
    const int cardRow = m_nextRow[member.rows]++;
    member.rows->addWidget(new QLabel(QStringLiteral("读卡器类型："), member.page), cardRow, 0, Qt::AlignRight);
    member.rows->addWidget(cmbCardType, cardRow, 1);
    QGridLayout *points = member.frames.value(QStringLiteral("积分设置"));
    points->addWidget(buildJfGrid(points->parentWidget()), m_nextRow[points]++, 0, 1, 2);

    PageParts &pos = pages[Page::Pos];
    auto *amountBox = new QGroupBox(QStringLiteral("积分换金额"), pos.page);
    auto *amountLay = new QVBoxLayout(amountBox);
    amountLay->addWidget(buildJfAmountGrid(amountBox));
    pos.right->addWidget(amountBox);

    PageParts &comm = pages[Page::Comm];
    auto *note = new QLabel(QStringLiteral("请将服务器上的安装目录设为共享，并确保各客户端可以访问该共享目录。"), comm.page);
    note->setWordWrap(true);
    comm.checks->addWidget(note);
    for (Page page : {Page::Pos, Page::Member, Page::Comm})
        pages[page].right->addStretch(1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdOK = new QPushButton(QStringLiteral("保存设置(&S)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdExit = new QPushButton(QStringLiteral("关闭(&C)"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdExit);
    outer->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { onSave(); }); });
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdClear, &QPushButton::clicked, this, &frmSetPara::onClear);
    connect(cmdGenStockAmount, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { onGenStockAmount(); }); });
    resize(760, 560);
}

QWidget *frmSetPara::buildJfGrid(QWidget *parent) {
    auto *box = new QWidget(parent);
    auto *lay = new QVBoxLayout(box);
    lay->setContentsMargins(0, 0, 0, 0);
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("特殊积分日期："), box));
    top->addStretch(1);
    cmdClear = new QPushButton(QStringLiteral("清除表格"), box);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    top->addWidget(cmdClear);
    lay->addLayout(top);
    FlexJf = new ui::Grid(box);
    FlexJf->setObjectName(QStringLiteral("FlexJf"));
    FlexJf->setCols(3);
    FlexJf->setFixedRows(1);
    FlexJf->setHeaders({QStringLiteral("起始日期"), QStringLiteral("截止日期"), QStringLiteral("积分比率")});
    FlexJf->setRows(JfRows);
    FlexJf->setEditable(true);
    FlexJf->setMinimumHeight(160);
    lay->addWidget(FlexJf);
    dtpDate = new ui::DatePicker(FlexJf->viewport());
    dtpDate->setObjectName(QStringLiteral("dtpDate"));
    dtpDate->hide();
    connect(FlexJf->selectionModel(), &QItemSelectionModel::currentChanged, this, &frmSetPara::onJfCellChanged);
    connect(dtpDate, &QDateEdit::dateChanged, this, &frmSetPara::onPickerChanged);
    return box;
}

QWidget *frmSetPara::buildJfAmountGrid(QWidget *parent) {
    FlexJfAmount = new ui::Grid(parent);
    FlexJfAmount->setObjectName(QStringLiteral("FlexJfAmount"));
    FlexJfAmount->setCols(2);
    FlexJfAmount->setFixedRows(1);
    FlexJfAmount->setHeaders({QStringLiteral("兑减积分值"), QStringLiteral("可换金额")});
    FlexJfAmount->setRows(JfAmountRows);
    FlexJfAmount->setEditable(true);
    FlexJfAmount->setMinimumHeight(160);
    return FlexJfAmount;
}

void frmSetPara::load() {
    dtpDate->setDate(QDate::currentDate());
    db::Connection conn(startup::loginContext().cnstr());

    cmbCardType->addItems(cardTypes());
    cmbCardType->setCurrentIndex(-1);
    cmbCostStyle->addItem(QString());
    cmbCostStyle->addItems(SystemParameters::priceStyleNames(conn));
    cmbCostStyle->setCurrentIndex(-1);

    for (const auto &[storedKey, value] : SystemParameters::loadProfile(conn)) {
        if (storedKey.compare(CostStylePriceNameKey, Qt::CaseInsensitive) == 0 ||
            storedKey.compare(CardTypeKey, Qt::CaseInsensitive) == 0) {
            QComboBox *list = storedKey.compare(CardTypeKey, Qt::CaseInsensitive) == 0 ? cmbCardType : cmbCostStyle;
            list->setCurrentIndex(list->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive));
            continue;
        }
        const ProfileKey *k = findProfileKey(storedKey);
        if (!k)
            continue;
        switch (k->kind) {
        case KeyKind::Check:
            checkBox(k->key)->setChecked(value == QLatin1String("1"));
            break;
        case KeyKind::Options:
            // An index without an option leaves the group as it was.
            selectOption(k->key, static_cast<int>(stocklimit::leadingNumber(value)));
            break;
        case KeyKind::Text:
        case KeyKind::List:
            textBox(k->key)->setText(value);
            break;
        }
    }

    // Once the account set has moved past its starting month, neither month can be changed here.
    const auto num = [this](const char *key) { return stocklimit::leadingNumber(textBox(QLatin1String(key))->text()); };
    const bool started = num("StartYear") != num("CurrentYear") || num("StartPeriod") != num("CurrentPeriod");
    textBox(QStringLiteral("StartYear"))->setEnabled(!started);
    textBox(QStringLiteral("StartPeriod"))->setEnabled(!started);

    loadGrids();
}

void frmSetPara::loadGrids() {
    db::Connection conn(startup::loginContext().cnstr());
    const QList<JfRateRow> rates = SystemParameters::loadJfRates(conn);
    FlexJf->clear();
    FlexJf->setRows(std::max<int>(JfRows, static_cast<int>(rates.size()) + 1));
    for (int i = 0; i < rates.size(); ++i) {
        FlexJf->setTextMatrix(i + 1, 0, rates[i].from);
        FlexJf->setTextMatrix(i + 1, 1, rates[i].to);
        FlexJf->setTextMatrix(i + 1, 2, rates[i].rate);
    }
    const QList<JfAmountRow> amounts = SystemParameters::loadJfAmounts(conn);
    FlexJfAmount->clear();
    FlexJfAmount->setRows(std::max<int>(JfAmountRows, static_cast<int>(amounts.size()) + 1));
    for (int i = 0; i < amounts.size(); ++i) {
        FlexJfAmount->setTextMatrix(i + 1, 0, amounts[i].points);
        FlexJfAmount->setTextMatrix(i + 1, 1, amounts[i].amount);
    }
}

ParameterSet frmSetPara::gather() const {
    ParameterSet set;
    for (QCheckBox *c : findChildren<QCheckBox *>())
        if (c->objectName().startsWith(QLatin1String("chk_")))
            set.keys.append({c->objectName().mid(4), c->checkState() == Qt::Checked ? QStringLiteral("1")
                                                                                    : QStringLiteral("0"),
                             c->property(CaptionProperty).toString()});
    for (QRadioButton *r : findChildren<QRadioButton *>())
        if (r->objectName().startsWith(QLatin1String("opt_")) && r->isChecked())
            set.keys.append({r->objectName().mid(4), QString::number(r->property(IndexProperty).toInt()), r->text()});
    for (QLineEdit *e : findChildren<QLineEdit *>())
        if (e->objectName().startsWith(QLatin1String("txt_")))
            set.keys.append({e->objectName().mid(4), e->text(), QString()});
    set.costStylePriceName = cmbCostStyle->currentText();
    set.cardType = cmbCardType->currentText();
    for (int r = FlexJf->fixedRows(); r < FlexJf->rows(); ++r)
        set.rates.append({FlexJf->textMatrix(r, 0), FlexJf->textMatrix(r, 1), FlexJf->textMatrix(r, 2)});
    for (int r = FlexJfAmount->fixedRows(); r < FlexJfAmount->rows(); ++r)
        set.amounts.append({FlexJfAmount->textMatrix(r, 0), FlexJfAmount->textMatrix(r, 1)});
    return set;
}

void frmSetPara::onSave() {
    const ParameterSet set = gather();
    {
        db::Connection conn(startup::loginContext().cnstr());
        SystemParameters::save(conn, set, QDateTime::currentDateTime());
    }
    ui::dialogs().message(QStringLiteral("保存成功！"), ui::Icon::Information);
    accept();
}

void frmSetPara::onClear() {
    for (int r = FlexJf->fixedRows(); r < FlexJf->rows(); ++r)
        for (int c = 0; c < FlexJf->cols(); ++c)
            FlexJf->setTextMatrix(r, c, QString());
}

void frmSetPara::onGenStockAmount() {
    if (ui::dialogs().question(QStringLiteral("是否用当前进价重新计算期初金额（慎用）？"), ui::Icon::Question,
                               ui::Answer::No) != ui::Answer::Yes)
        return;
    {
        ui::WaitCursor wait;
        db::Connection conn(startup::loginContext().cnstr());
        SystemParameters::recomputeOpeningAmounts(conn, startup::loginContext().currentYear(),
                                                  startup::loginContext().currentPeriod());
    }
    ui::dialogs().message(QStringLiteral("操作成功！"), ui::Icon::Information);
}

void frmSetPara::onCostStyleClicked() { cmbCostStyle->setVisible(selectedOption(QStringLiteral("CostStyle")) == 3); }

void frmSetPara::onJfCellChanged() {
    const int row = FlexJf->currentGridRow();
    const int col = FlexJf->currentGridCol();
    if (row < FlexJf->fixedRows() || col < 0) {
        dtpDate->hide();
        return;
    }
    const QDate d = SystemParameters::gridDate(FlexJf->textMatrix(row, col));
    if (col <= 1) {
        if (d.isValid())
            dtpDate->setDate(d);
        const QRect cell = FlexJf->visualRect(FlexJf->gridModel()->index(row - FlexJf->fixedRows(), col));
        dtpDate->setGeometry(cell);
        dtpDate->show();
    } else {
        dtpDate->hide();
    }
}

void frmSetPara::onPickerChanged() {
    const int row = FlexJf->currentGridRow();
    const int col = FlexJf->currentGridCol();
    if (row >= FlexJf->fixedRows() && (col == 0 || col == 1) && !dtpDate->isHidden())
        FlexJf->setTextMatrix(row, col, dtpDate->text());
}

} // namespace zostore::params
