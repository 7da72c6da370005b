// Help: a page for every window, built from the windows themselves; F1 opens the page of the window it is
// pressed in; the pages are installed beside the program.
#include "HelpWriter.h"
#include "ModuleWindows.h"
#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "app/WindowRegistrations.h"
#include "components/Builtins.h"
#include "demo/DemoAccount.h"
#include "shell/WindowTable.h"
#include "shell/frmMain.h"
#include "startup/Help.h"
#include "startup/LoginContext.h"
#include "startup/ProgramFolder.h"
#include "support/TestDatabase.h"
#include "ui/Processes.h"
#include "ui/ScriptedDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace zostore;

namespace {

QStringList helpedWindows() {
    QStringList names = QStringList{QStringLiteral("frmMain")} + shell::windowTable().names();
    for (const help::ModuleWindow &m : help::moduleWindows())
        names << m.page;
    return names;
}

QString readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Every page named and every picture and page a page refers to is in the folder.
void expectCompleteFolder(const QDir &help, const QStringList &windows) {
    const QString index = readAll(help.filePath(QStringLiteral("index.html")));
    ASSERT_FALSE(index.isEmpty()) << help.path().toStdString();
    static const QRegularExpression reference(QStringLiteral("(?:src|href)=\"([^\"#]+)\""));
    for (const QString &w : windows) {
        const QString page = readAll(help.filePath(w + QStringLiteral(".html")));
        ASSERT_FALSE(page.isEmpty()) << w.toStdString();
        EXPECT_TRUE(index.contains(QStringLiteral("href=\"%1.html\"").arg(w))) << w.toStdString();
        EXPECT_TRUE(page.contains(QStringLiteral("<img "))) << w.toStdString();
        for (auto it = reference.globalMatch(page); it.hasNext();) {
            const QString target = it.next().captured(1);
            EXPECT_TRUE(QFile::exists(help.filePath(target)))
                << w.toStdString() << " -> " << target.toStdString();
        }
    }
}

class HelpTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        static const bool registered = [] {
            components::registerBuiltinComponents();
            app::registerSubsystemWindows();
            startup::installHelpKey(*QCoreApplication::instance());
            return true;
        }();
        Q_UNUSED(registered)
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        db::Connection conn = db().connect();
        accountdb::createAccountSchema(conn);
        accountdb::insertProfileDefaults(conn, 2025, 9);
        demo::loadDemoAccount(conn, QDate(2025, 12, 15));
        QFile::link(QStringLiteral(ZOSTORE_PICTURE_DIR),
                    QDir(m_programDir.path()).filePath(QStringLiteral("picture")));
        startup::setProgramFolder(m_programDir.path());
        startup::loginContext().setLogin(1, QStringLiteral("admin"), cnstr(), cnstr(),
                                         QStringLiteral("演示帐套"));
        startup::loginContext().setIsManager(true);
        ui::setProcesses(&m_processes);
        m_scope = std::make_unique<ui::DialogsScope>(m_dialogs);
    }
    void TearDown() override {
        m_scope.reset();
        ui::setProcesses(nullptr);
        startup::setProgramFolder({});
        startup::loginContext().reset();
        BackendTest::TearDown();
    }

    void writePages(const QStringList &names) {
        QDir(m_programDir.path()).mkpath(QStringLiteral("help"));
        for (const QString &n : names) {
            QFile f(startup::helpPage(n));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }

    // Shows the window made by the table, presses F1 on the given child (the window itself when null).
    QStringList pressF1(QWidget &window, QWidget *on = nullptr) {
        window.show();
        m_processes.documents.clear();
        QTest::keyClick(on ? on : &window, Qt::Key_F1);
        return m_processes.documents;
    }

    QTemporaryDir m_settings;
    QTemporaryDir m_programDir;
    ui::ScriptedDialogs m_dialogs;
    ui::RecordingProcesses m_processes;
    std::unique_ptr<ui::DialogsScope> m_scope;
};

TEST_P(HelpTest, every_window_gets_a_page_with_its_picture_and_every_control_described) {
    const help::HelpReport report = help::writeHelp(
        QStringLiteral(ZOSTORE_HELP_SOURCES), QStringLiteral(ZOSTORE_PROJECT_ROOT), m_programDir.path());
    EXPECT_TRUE(report.failures.isEmpty()) << report.failures.join(u'\n').toStdString();
    EXPECT_TRUE(report.problems.isEmpty()) << report.problems.join(u'\n').toStdString();
    EXPECT_EQ(report.pages, helpedWindows());
    expectCompleteFolder(QDir(startup::helpFolder()), helpedWindows());
    EXPECT_TRUE(m_dialogs.entries().isEmpty()) << m_dialogs.messages().join(u'\n').toStdString();
}

TEST_P(HelpTest, f1_opens_the_page_of_the_window_or_of_the_nearest_one_with_a_page) {
    writePages({QStringLiteral("index"), QStringLiteral("frmMain"), shell::windows::ClosePeriod,
                shell::windows::SetPara});
    std::unique_ptr<QWidget> closing(shell::windowTable().create(shell::windows::ClosePeriod, nullptr));
    EXPECT_EQ(pressF1(*closing, closing->findChild<QWidget *>(QStringLiteral("chkAutoStockLimit"))),
              QStringList{startup::helpPage(shell::windows::ClosePeriod)});

    std::unique_ptr<QWidget> params(shell::windowTable().create(shell::windows::SetPara, nullptr));
    EXPECT_EQ(pressF1(*params, params->findChild<QLineEdit *>(QStringLiteral("txt_StockLimitDays"))),
              QStringList{startup::helpPage(shell::windows::SetPara)});

    // A box over a window with a page has none of its own; one without such a window gets the contents.
    QDialog box(params.get());
    box.setObjectName(QStringLiteral("frmActionList_1"));
    EXPECT_EQ(pressF1(box), QStringList{startup::helpPage(shell::windows::SetPara)});
    std::unique_ptr<QWidget> discounts(shell::windowTable().create(shell::windows::PosDiscount, nullptr));
    EXPECT_EQ(pressF1(*discounts), QStringList{startup::helpIndex()});

    // A module window finds its page, one made per kind the page of its kind-less name.
    writePages({QStringLiteral("frmInitStock"), QStringLiteral("frmBill")});
    for (const help::ModuleWindow &m : help::moduleWindows()) {
        if (m.page != QLatin1String("frmInitStock") && m.page != QLatin1String("frmBill"))
            continue;
        std::unique_ptr<QWidget> w(m.make());
        EXPECT_EQ(pressF1(*w, w->findChild<QWidget *>(QStringLiteral("Flex"))),
                  QStringList{startup::helpPage(m.page)})
            << w->objectName().toStdString();
    }

    shell::frmMain main;
    EXPECT_EQ(pressF1(main), QStringList{startup::helpPage(QStringLiteral("frmMain"))});
    // The help picture and the help menu ask the same.
    m_processes.documents.clear();
    main.dispatch().DispatchTool(QStringLiteral("MnuHelpDoc"));
    EXPECT_EQ(m_processes.documents, QStringList{startup::helpPage(QStringLiteral("frmMain"))});

    // With no help installed the user is told where it was looked for.
    QDir(startup::helpFolder()).removeRecursively();
    EXPECT_TRUE(pressF1(*closing).isEmpty());
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages()[0], QStringLiteral("找不到帮助文件：") + startup::helpIndex());
}

ZOSTORE_BACKENDS(HelpTest);

TEST(HelpFolder, pages_are_installed_beside_the_program) {
    static const bool registered = [] {
        app::registerSubsystemWindows();
        return true;
    }();
    Q_UNUSED(registered)
    QStringList windows = helpedWindows();
    if (!windows.contains(shell::windows::About))
        windows << shell::windows::About;
    expectCompleteFolder(QDir(QStringLiteral(ZOSTORE_PROGRAM_DIR "/help")), windows);
}

} // namespace
