// The parameters window driven offscreen: every key saved and loaded, load rules, grids, failed saves.
#include "accountdb/Schema.h"
#include "params/ProfileKeys.h"
#include "app/WindowRegistrations.h"
#include "params/ProfileReader.h"
#include "shell/WindowTable.h"
#include "params/frmSetPara.h"
#include "startup/LoginContext.h"
#include "support/TestDatabase.h"
#include "ui/DateTimePickers.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace zostore::test {

using params::frmSetPara;
using params::KeyKind;

class SetParaTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        conn = std::make_unique<db::Connection>(cnstr());
        accountdb::createAccountSchema(*conn);
        conn->execute(QStringLiteral("insert into t_PriceStyle(FItemID,FNumber,FName) values(1,'01','零售价'),(2,'02','会员''价')"));
        startup::loginContext().reset();
        startup::loginContext().setLogin(1, QStringLiteral("管理员"), cnstr(), QString(), QStringLiteral("测试"));
        startup::loginContext().setCurrentPeriod(2013, 3);
        scope = std::make_unique<ui::DialogsScope>(dialogs);
    }
    void TearDown() override {
        scope.reset();
        conn.reset();
        BackendTest::TearDown();
    }
    void profile(const QString &key, const QString &value) {
        conn->execute(QStringLiteral("insert into t_systemprofile(FKey,FValue) values(?,?)"), {key, value});
    }
    QString value(const QString &key) {
        return conn->scalar(QStringLiteral("select FValue from t_systemprofile where FKey=?"), {key}).toString();
    }
    QStringList profileRows() {
        QStringList rows;
        for (auto rs = conn->open(QStringLiteral("select * from t_systemprofile order by FKey")); !rs.eof(); rs.moveNext())
            rows << rs.text(QStringLiteral("FKey")) + QLatin1Char('=') + rs.text(QStringLiteral("FValue")) +
                        QLatin1Char('|') + rs.text(QStringLiteral("FDescription"));
        return rows;
    }
    static QRadioButton *option(frmSetPara &w, const QString &key, int index) {
        for (QRadioButton *r : w.findChildren<QRadioButton *>(QStringLiteral("opt_") + key))
            if (r->property("optionIndex").toInt() == index)
                return r;
        return nullptr;
    }

    std::unique_ptr<db::Connection> conn;
    ui::ScriptedDialogs dialogs;
    std::unique_ptr<ui::DialogsScope> scope;
};

TEST_P(SetParaTest, every_key_round_trips_with_its_caption) {
    frmSetPara w;
    EXPECT_TRUE(w.checkBox(QStringLiteral("LoginSelectUserName"))->isChecked());
    EXPECT_EQ(w.selectedOption(QStringLiteral("ActionWhenShortStock")), 2);
    EXPECT_EQ(w.textBox(QStringLiteral("Item_StartPos"))->text(), QStringLiteral("2"));
    EXPECT_TRUE(w.cmbCostStyle->isHidden());
    EXPECT_EQ(w.cmbCostStyle->count(), 3);

    // Every control gets a value other than its default; texts carry an apostrophe and Chinese.
    QHash<QString, QString> expected;
    QHash<QString, QString> description;
    for (const params::ProfileKey &k : params::profileKeys()) {
        switch (k.kind) {
        case KeyKind::Check: {
            QCheckBox *c = w.checkBox(k.key);
            ASSERT_NE(c, nullptr) << k.key.toStdString();
            c->setChecked(!c->isChecked());
            expected[k.key] = c->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
            description[k.key] = k.caption;
            break;
        }
        case KeyKind::Options: {
            const auto &o = k.options.first().index == w.selectedOption(k.key) ? k.options.last() : k.options.first();
            option(w, k.key, o.index)->click();
            expected[k.key] = QString::number(o.index);
            description[k.key] = o.caption;
            break;
        }
        case KeyKind::Text:
        case KeyKind::List:
            ASSERT_NE(w.textBox(k.key), nullptr) << k.key.toStdString();
            w.textBox(k.key)->setText(QStringLiteral("值'") + k.key + QStringLiteral("中"));
            expected[k.key] = w.textBox(k.key)->text();
            description[k.key] = QString();
            break;
        }
    }
    EXPECT_EQ(description.value(QStringLiteral("AutoNewBillAfterSave")), QStringLiteral("保存单据后自动新增\r\n"));
    w.cmbCostStyle->setCurrentText(QStringLiteral("会员'价"));
    w.cmbCardType->setCurrentText(QStringLiteral("SLE4428"));
    w.FlexJf->setTextMatrix(1, 0, QStringLiteral("2026-01-01"));
    w.FlexJf->setTextMatrix(1, 1, QStringLiteral("2026-01-31"));
    w.FlexJf->setTextMatrix(1, 2, QStringLiteral("2.5"));
    w.FlexJf->setTextMatrix(2, 0, QStringLiteral("2026-02-01"));
    w.FlexJf->setTextMatrix(2, 1, QStringLiteral("二月底"));
    w.FlexJf->setTextMatrix(2, 2, QStringLiteral("3"));
    w.FlexJf->setTextMatrix(3, 0, QStringLiteral("2026-03-01"));
    w.FlexJf->setTextMatrix(3, 1, QStringLiteral("2026-03-02"));
    w.FlexJf->setTextMatrix(3, 2, QStringLiteral("0"));
    w.FlexJfAmount->setTextMatrix(1, 0, QStringLiteral("100"));
    w.FlexJfAmount->setTextMatrix(1, 1, QStringLiteral("5"));
    w.FlexJfAmount->setTextMatrix(2, 0, QStringLiteral("0"));
    w.FlexJfAmount->setTextMatrix(2, 1, QStringLiteral("9"));
    w.FlexJfAmount->setTextMatrix(3, 0, QStringLiteral("200"));
    w.cmdOK->click();
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("保存成功！")});
    EXPECT_EQ(w.result(), QDialog::Accepted);

    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        auto rs = conn->open(QStringLiteral("select * from t_systemprofile where FKey=?"), {it.key()});
        ASSERT_FALSE(rs.eof()) << it.key().toStdString();
        EXPECT_EQ(rs.text(QStringLiteral("FValue")), it.value()) << it.key().toStdString();
        EXPECT_EQ(rs.text(QStringLiteral("FDescription")), description[it.key()]) << it.key().toStdString();
        EXPECT_FALSE(rs.isNull(QStringLiteral("FEditTime"))) << it.key().toStdString();
    }
    EXPECT_EQ(conn->scalar(QStringLiteral("select count(*) from t_systemprofile")).toInt(), expected.size() + 2);
    auto list = conn->open(QStringLiteral("select * from t_systemprofile where FKey='CostStyle_PriceName'"));
    EXPECT_EQ(list.text(QStringLiteral("FValue")), QStringLiteral("会员'价"));
    EXPECT_EQ(list.text(QStringLiteral("FDescription")), QStringLiteral("手工指定成本法时对应的成本计价方式"));
    EXPECT_TRUE(list.isNull(QStringLiteral("FEditTime")));
    EXPECT_EQ(value(QStringLiteral("CardType")), QStringLiteral("SLE4428"));

    auto rates = conn->open(QStringLiteral("select * from VipJfRate"));
    ASSERT_EQ(rates.recordCount(), 1) << "a row with a bad date or rate 0 is skipped";
    EXPECT_EQ(rates.toDate(QStringLiteral("FFromDate")), QDate(2026, 1, 1));
    EXPECT_EQ(rates.toDate(QStringLiteral("FToDate")), QDate(2026, 1, 31));
    EXPECT_DOUBLE_EQ(rates.toDouble(QStringLiteral("FJfRate")), 2.5);
    auto amounts = conn->open(QStringLiteral("select * from VipJfToAmount order by FJf"));
    ASSERT_EQ(amounts.recordCount(), 2);
    amounts.moveNext();
    EXPECT_DOUBLE_EQ(amounts.toDouble(QStringLiteral("FJf")), 200);
    EXPECT_DOUBLE_EQ(amounts.toDouble(QStringLiteral("FAmount")), 0);

    // A second window shows what the first saved.
    frmSetPara again;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const params::ProfileKey *k = params::findProfileKey(it.key());
        if (k->kind == KeyKind::Check)
            EXPECT_EQ(again.checkBox(k->key)->isChecked(), it.value() == QLatin1String("1")) << k->key.toStdString();
        else if (k->kind == KeyKind::Options)
            EXPECT_EQ(again.selectedOption(k->key), it.value().toInt()) << k->key.toStdString();
        else
            EXPECT_EQ(again.textBox(k->key)->text(), it.value()) << k->key.toStdString();
    }
    EXPECT_EQ(again.cmbCostStyle->currentText(), QStringLiteral("会员'价"));
    EXPECT_EQ(again.cmbCardType->currentText(), QStringLiteral("SLE4428"));
    EXPECT_EQ(again.FlexJf->textMatrix(1, 0), QStringLiteral("2026-01-01"));
    EXPECT_EQ(again.FlexJf->textMatrix(1, 2), QStringLiteral("2.5"));
    EXPECT_EQ(again.FlexJf->rows(), 21);
    EXPECT_EQ(again.FlexJfAmount->textMatrix(2, 0), QStringLiteral("200"));
    EXPECT_EQ(again.FlexJfAmount->rows(), 11);
}

TEST_P(SetParaTest, loading_matches_keys_without_case_and_skips_unknown_values) {
    profile(QStringLiteral("ActionWhenShortStock"), QStringLiteral("0"));
    profile(QStringLiteral("CardType"), QStringLiteral("IC卡"));
    profile(QStringLiteral("currentyear"), QStringLiteral("2013"));
    profile(QStringLiteral("CURRENTPERIOD"), QStringLiteral("3"));
    profile(QStringLiteral("StartYear"), QStringLiteral("2013"));
    profile(QStringLiteral("StartPeriod"), QStringLiteral("1"));
    profile(QStringLiteral("CostStyle"), QStringLiteral("3"));
    profile(QStringLiteral("CostStyle_PriceName"), QStringLiteral("零售价"));
    profile(QStringLiteral("Weight_Type"), QString());
    profile(QStringLiteral("Ver"), QStringLiteral("7.1"));

    frmSetPara w;
    EXPECT_EQ(w.selectedOption(QStringLiteral("ActionWhenShortStock")), 2) << "there is no option 0";
    EXPECT_EQ(w.selectedOption(QStringLiteral("Weight_Type")), 0) << "empty counts as 0";
    EXPECT_EQ(w.cmbCardType->currentIndex(), -1);
    EXPECT_EQ(w.textBox(QStringLiteral("CurrentYear"))->text(), QStringLiteral("2013"));
    EXPECT_FALSE(w.textBox(QStringLiteral("StartYear"))->isEnabled()) << "2013/1 is past";
    EXPECT_FALSE(w.textBox(QStringLiteral("StartPeriod"))->isEnabled());
    EXPECT_TRUE(w.textBox(QStringLiteral("CurrentYear"))->isReadOnly());
    EXPECT_FALSE(w.cmbCostStyle->isHidden()) << "manual cost shows the price styles";
    EXPECT_EQ(w.cmbCostStyle->currentText(), QStringLiteral("零售价"));
    option(w, QStringLiteral("CostStyle"), 1)->click();
    EXPECT_TRUE(w.cmbCostStyle->isHidden());

    w.cmdOK->click();
    EXPECT_EQ(value(QStringLiteral("ActionWhenShortStock")), QStringLiteral("2"));
    EXPECT_EQ(value(QStringLiteral("CardType")), QString());
    EXPECT_EQ(value(QStringLiteral("CostStyle")), QStringLiteral("1"));
    EXPECT_EQ(value(QStringLiteral("CostStyle_PriceName")), QStringLiteral("零售价")) << "hidden but kept";
    EXPECT_EQ(value(QStringLiteral("CurrentYear")), QStringLiteral("2013"));
    EXPECT_EQ(value(QStringLiteral("StartPeriod")), QStringLiteral("1"));
    EXPECT_EQ(value(QStringLiteral("Ver")), QStringLiteral("7.1"));
    EXPECT_EQ(conn->scalar(QStringLiteral("select FKey from t_systemprofile where lower(FKey)='currentperiod'")).toString(),
              QStringLiteral("CurrentPeriod"));
    // a card type not in the list and the text boxes' descriptions are stored as empty text, never NULL
    const auto nulls = [&] {
        return conn->scalar(QStringLiteral("select count(*) from t_systemprofile where (FValue is null or "
                                           "FDescription is null) and FKey<>'Ver'")).toInt(); // Ver: not the window's
    };
    EXPECT_EQ(nulls(), 0);
    EXPECT_EQ(conn->scalar(QStringLiteral("select count(*) from t_systemprofile where FKey='SockPort' and "
                                          "FDescription=''")).toInt(), 1);

    frmSetPara again;
    again.cmbCostStyle->setCurrentIndex(-1);
    again.cmdOK->click();
    EXPECT_EQ(nulls(), 0);
    EXPECT_EQ(conn->scalar(QStringLiteral("select count(*) from t_systemprofile where FKey in "
                                          "('CostStyle_PriceName','CardType') and FValue=''")).toInt(), 2);
}

TEST_P(SetParaTest, start_month_drives_the_current_month_until_the_set_moves_on) {
    for (const char *k : {"StartYear", "CurrentYear", "StartPeriod", "CurrentPeriod"})
        profile(QLatin1String(k), k[0] == 'S' || k[7] == 'Y' ? QStringLiteral("2013") : QStringLiteral("1"));
    conn->execute(QStringLiteral("update t_systemprofile set FValue='1' where FKey in ('StartPeriod','CurrentPeriod')"));
    frmSetPara w;
    QLineEdit *startYear = w.textBox(QStringLiteral("StartYear"));
    ASSERT_TRUE(startYear->isEnabled());
    startYear->selectAll();
    QTest::keyClicks(startYear, QStringLiteral("2014"));
    EXPECT_EQ(w.textBox(QStringLiteral("CurrentYear"))->text(), QStringLiteral("2014"));
    w.cmdOK->click();
    EXPECT_EQ(value(QStringLiteral("StartYear")), QStringLiteral("2014"));
    EXPECT_EQ(value(QStringLiteral("CurrentYear")), QStringLiteral("2014"));
}

TEST_P(SetParaTest, failed_save_leaves_the_profile_as_it_was) {
    profile(QStringLiteral("ShowAction"), QStringLiteral("1"));
    profile(QStringLiteral("MaxStock"), QStringLiteral("2"));
    const QStringList before = profileRows();
    frmSetPara w;
    w.checkBox(QStringLiteral("ShowAction"))->setChecked(false);
    w.textBox(QStringLiteral("MaxStock"))->setText(QStringLiteral("3"));
    conn->execute(QStringLiteral("drop table VipJfToAmount"));
    w.cmdOK->click();
    ASSERT_EQ(dialogs.entries().size(), 1);
    EXPECT_NE(dialogs.messages().first(), QStringLiteral("保存成功！"));
    EXPECT_EQ(dialogs.last()->icon, ui::Icon::Information);
    EXPECT_NE(w.result(), QDialog::Accepted);
    EXPECT_EQ(profileRows(), before);
}

TEST_P(SetParaTest, points_grid_clear_picker_and_close) {
    conn->execute(QStringLiteral("insert into VipJfRate(FFromDate,FToDate,FJfRate) values(?,?,2)"),
                  {QDate(2026, 1, 5), QDate(2026, 1, 9)});
    {
        frmSetPara w;
        w.FlexJf->setCurrentIndex(w.FlexJf->gridModel()->index(0, 0));
        EXPECT_FALSE(w.dtpDate->isHidden());
        EXPECT_EQ(w.dtpDate->date(), QDate(2026, 1, 5));
        w.dtpDate->setDate(QDate(2026, 1, 6));
        EXPECT_EQ(w.FlexJf->textMatrix(1, 0), QStringLiteral("2026-01-06"));
        w.FlexJf->setCurrentIndex(w.FlexJf->gridModel()->index(0, 2));
        EXPECT_TRUE(w.dtpDate->isHidden());
        w.cmdClear->click();
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(w.FlexJf->textMatrix(1, c), QString());
        w.cmdExit->click();
    }
    EXPECT_EQ(conn->scalar(QStringLiteral("select count(*) from VipJfRate")).toInt(), 1);
    frmSetPara w;
    w.cmdClear->click();
    w.cmdOK->click();
    EXPECT_EQ(conn->scalar(QStringLiteral("select count(*) from VipJfRate")).toInt(), 0);
}

TEST_P(SetParaTest, opening_amounts_recomputed_for_the_current_month_only_on_yes) {
    conn->execute(QStringLiteral("insert into t_ICItem(FItemID,FNumber,FName,FPurPrice,FPjCost) values(1,'A','甲',2.5,1)"));
    conn->execute(QStringLiteral("insert into icbal(FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) values"
                                 "(1,2013,3,4,1,4),(1,2013,2,4,1,4)"));
    frmSetPara w;
    dialogs.queueAnswer(ui::Answer::No);
    w.cmdGenStockAmount->click();
    ASSERT_EQ(dialogs.entries().size(), 1);
    EXPECT_EQ(dialogs.entries()[0].text, QStringLiteral("是否用当前进价重新计算期初金额（慎用）？"));
    EXPECT_EQ(dialogs.entries()[0].defaultButton, ui::Answer::No);
    EXPECT_DOUBLE_EQ(conn->scalar(QStringLiteral("select FPjCost from t_ICItem")).toDouble(), 1);

    dialogs.queueAnswer(ui::Answer::Yes);
    w.cmdGenStockAmount->click();
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("操作成功！"));
    EXPECT_DOUBLE_EQ(conn->scalar(QStringLiteral("select FBegBal from icbal where FPeriod=3")).toDouble(), 10);
    EXPECT_DOUBLE_EQ(conn->scalar(QStringLiteral("select FBegPrice from icbal where FPeriod=3")).toDouble(), 2.5);
    EXPECT_DOUBLE_EQ(conn->scalar(QStringLiteral("select FBegBal from icbal where FPeriod=2")).toDouble(), 4);
    EXPECT_DOUBLE_EQ(conn->scalar(QStringLiteral("select FPjCost from t_ICItem")).toDouble(), 2.5);
}

TEST_P(SetParaTest, reader_gives_window_defaults_for_absent_rows) {
    profile(QStringLiteral("minstock"), QStringLiteral("1.5倍"));
    profile(QStringLiteral("GENSTOCKDISSTOCK"), QStringLiteral("1"));
    profile(QStringLiteral("StockLimitDays"), QStringLiteral("30"));
    const params::ProfileReader p(*conn);
    EXPECT_TRUE(p.flag(QStringLiteral("LoginSelectUserName")));
    EXPECT_EQ(p.value(QStringLiteral("ActionWhenShortStock")), QStringLiteral("2"));
    EXPECT_EQ(p.value(QStringLiteral("BirthDay_ActionDays")), QStringLiteral("3"));
    EXPECT_EQ(p.value(QStringLiteral("CardType")), QString());
    const auto s = params::StockLimitSettings::read(*conn);
    EXPECT_DOUBLE_EQ(s.minF, 1.5);
    EXPECT_DOUBLE_EQ(s.maxF, 0);
    EXPECT_TRUE(s.perStore);
    EXPECT_FALSE(s.regenerateOnClose);
    EXPECT_EQ(s.days, 30);
}

TEST_P(SetParaTest, main_window_opens_it_modally_by_name) {
    app::registerSubsystemWindows();
    QString opened;
    dialogs.queueWindow([&opened](QDialog &d) {
        opened = d.objectName() + QLatin1Char('|') + d.windowTitle();
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(shell::windowTable().open(QStringLiteral("frmSetPara"), nullptr, shell::WindowMode::Modal),
              int(QDialog::Rejected));
    EXPECT_EQ(opened, QStringLiteral("frmSetPara|设置参数"));
}

ZOSTORE_BACKENDS(SetParaTest);

} // namespace zostore::test
