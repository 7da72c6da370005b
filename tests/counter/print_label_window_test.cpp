// The label window over the demo account set: its formats, printing through the printer component, settings, PLU.
#include "accountdb/Schema.h"
#include "components/Builtins.h"
#include "components/Component.h"
#include "components/Registry.h"
#include "components/labels/LabelFormat.h"
#include "components/labels/LabelFormatStore.h"
#include "components/labels/LabelList.h"
#include "components/labels/LabelRenderer.h"
#include "counter/frmPrintLabel.h"
#include "db/Recordset.h"
#include "demo/DemoAccount.h"
#include "startup/LoginContext.h"
#include "startup/SettingsStore.h"
#include "support/TestDatabase.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>

namespace zostore::test {

namespace {

// Records the calls the window makes instead of printing.
class RecordingPrinter : public components::Component {
public:
    RecordingPrinter() : Component(QStringLiteral("ZoTdPrinter.Printer")) {
        addMethod(QStringLiteral("DoPrint"), 7, 7, [this](const QVariantList &args) {
            calls.append(args);
            return QVariant();
        });
    }
    static inline QList<QVariantList> calls;
};

} // namespace

class PrintLabelWindowTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // Each run its own settings: the two backends' runs go in parallel.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
        conn = std::make_unique<db::Connection>(cnstr());
        accountdb::createAccountSchema(*conn);
        demo::loadDemoAccount(*conn);
        components::registerBuiltinComponents();
        components::Registry::instance().registerFactory(QStringLiteral("ZoTdPrinter.Printer"),
                                                         [] { return std::make_shared<RecordingPrinter>(); });
        RecordingPrinter::calls.clear();
        auto &ctx = startup::loginContext();
        ctx.reset();
        ctx.setLogin(1, QStringLiteral("admin"), cnstr(), QString(), QStringLiteral("演示帐套"));
        ctx.setIsManager(true);
        startup::SettingsStore::setValue(QStringLiteral("ZoStore"), QStringLiteral("DefaultValue"),
                                         QStringLiteral("WeightBegChar"), QStringLiteral("22"));
        startup::SettingsStore::setValue(QStringLiteral("ZoStore"), QStringLiteral("DefaultValue"),
                                         QStringLiteral("LabelQtyPerRow"), QStringLiteral("1"));
        scope = std::make_unique<ui::DialogsScope>(dialogs);
    }
    void TearDown() override {
        components::Registry::instance().removeFactory(QStringLiteral("ZoTdPrinter.Printer"));
        scope.reset();
        startup::loginContext().reset();
        conn.reset();
        BackendTest::TearDown();
    }
    // A demo item with a valid EAN-13 barcode, so both demo formats can draw it.
    QString itemWithBarcode() {
        return conn->scalar(QStringLiteral("select min(FNumber) from t_ICItem where length(FBar_Code)=13 and FDel=0"))
            .toString();
    }

    QTemporaryDir settings;
    std::unique_ptr<db::Connection> conn;
    ui::ScriptedDialogs dialogs;
    std::unique_ptr<ui::DialogsScope> scope;
};

TEST_P(PrintLabelWindowTest, demo_formats_are_listed_with_the_preferred_one_and_print_what_the_list_holds) {
    auto *w = new counter::frmPrintLabel;
    ASSERT_EQ(w->cmbPrintFmt->count(), 2);
    EXPECT_EQ(w->cmbPrintFmt->itemText(0), QStringLiteral("商品价签60×40"));
    EXPECT_EQ(w->cmbPrintFmt->currentText(), QStringLiteral("商品价签60×40"));
    EXPECT_EQ(w->txtBegChar->text(), QStringLiteral("22"));

    // Both demo layouts are designed ones that the renderer accepts for a real item.
    const QString code = itemWithBarcode();
    ASSERT_FALSE(code.isEmpty());
    ASSERT_TRUE(w->labelList()->addCode(code, 3));
    components::labels::LabelFormatStore store(*conn);
    for (int i = 0; i < w->cmbPrintFmt->count(); ++i) {
        const auto format = store.load(w->cmbPrintFmt->itemText(i));
        EXPECT_NO_THROW(format.validate());
        EXPECT_FALSE(format.elements.isEmpty());
    }

    w->txtQty->setText(QStringLiteral("3"));
    w->runTool(QStringLiteral("print"));
    ASSERT_EQ(RecordingPrinter::calls.size(), 1);
    const QVariantList &args = RecordingPrinter::calls.first();
    EXPECT_EQ(args[0].toBool(), false);
    EXPECT_EQ(args[1].toString(), cnstr());
    EXPECT_EQ(args[2].toInt(), 51);
    EXPECT_EQ(args[3].toBool(), false);
    EXPECT_EQ(args[4].toBool(), true);
    EXPECT_EQ(args[6].toString(), QStringLiteral("商品价签60×40"));
    auto data = args[5].value<QSharedPointer<db::Recordset>>();
    ASSERT_TRUE(data);
    int labels = 0;
    for (; !data->eof(); data->moveNext())
        ++labels;
    EXPECT_EQ(labels, 3);

    // With no format chosen nothing prints.
    w->cmbPrintFmt->setCurrentIndex(-1);
    w->runTool(QStringLiteral("print"));
    EXPECT_EQ(RecordingPrinter::calls.size(), 1);
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("请选择打印格式！"));
    w->close();
}

TEST_P(PrintLabelWindowTest, leading_characters_and_labels_per_row_are_remembered_and_plu_goes_to_the_chosen_file) {
    QTemporaryDir dir;
    const QString code = itemWithBarcode();
    {
        auto *w = new counter::frmPrintLabel;
        w->txtBegChar->setText(QString());
        w->txtQty->setText(QStringLiteral("4"));
        ASSERT_TRUE(w->labelList()->addCode(code));

        // Cancelled dialog: no file, no message.
        dialogs.queueFile(QString());
        w->runTool(QStringLiteral("excel"));
        EXPECT_TRUE(dialogs.messages().isEmpty());

        const QString path = dir.filePath(QStringLiteral("plu'价签.txt"));
        dialogs.queueFile(path);
        w->runTool(QStringLiteral("excel"));
        EXPECT_EQ(dialogs.messages().last(), QStringLiteral("导出完成，文件名：") + path);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray line = f.readAll();
        const QString shop = conn->scalar(QStringLiteral("select FShopNumber from t_ICItem where FNumber=?"), {code})
                                 .toString();
        const QString plu = shop.right(5);
        // Without leading characters field 5 is the PLU number alone.
        EXPECT_TRUE(line.startsWith(plu.toLatin1() + ',')) << line.constData();
        EXPECT_TRUE(line.endsWith(',' + plu.toLatin1() + ",30,01,1,2\r\n")) << line.constData();

        // A folder that cannot be written (a file stands where the folder should be, so even root is refused).
        QFile blocker(dir.filePath(QStringLiteral("不是文件夹")));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString blocked = blocker.fileName() + QStringLiteral("/plu.txt");
        dialogs.queueFile(blocked);
        w->runTool(QStringLiteral("excel"));
        EXPECT_TRUE(dialogs.messages().last().startsWith(QStringLiteral("不能写入文件 ") + blocked))
            << dialogs.messages().last().toStdString();
        w->close();
    }
    auto *again = new counter::frmPrintLabel;
    EXPECT_EQ(again->txtBegChar->text(), QString());
    EXPECT_EQ(again->txtQty->text(), QStringLiteral("4"));
    again->close();
}

ZOSTORE_BACKENDS(PrintLabelWindowTest);

} // namespace zostore::test
