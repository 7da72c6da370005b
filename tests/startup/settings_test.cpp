// The settings store and the upgrade notes that depend on it.
#include "startup/ProgramFolder.h"
#include "startup/SettingsStore.h"
#include "startup/UpgradeNotes.h"
#include "ui/Processes.h"
#include "ui/ScriptedDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zostore;
using namespace zostore::startup;

class SettingsTest : public testing::Test {
protected:
    void SetUp() override { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path()); }
    QTemporaryDir m_dir;
};

TEST_F(SettingsTest, application_names_are_separate_stores_and_missing_values_give_the_default) {
    const QString zoStore = QStringLiteral("ZoStore");
    const QString zoStroe = QStringLiteral("ZoStroe");
    SettingsStore::setValue(zoStroe, QStringLiteral("DefaultValue"), QStringLiteral("UPdateProg"),
                            QStringLiteral("Main"));
    SettingsStore::setValue(zoStore, QStringLiteral("DefaultValue"), QStringLiteral("UPdateProg"),
                            QStringLiteral("其他"));
    EXPECT_EQ(SettingsStore::value(zoStroe, QStringLiteral("DefaultValue"), QStringLiteral("UPdateProg")),
              QStringLiteral("Main"));
    EXPECT_EQ(SettingsStore::value(zoStore, QStringLiteral("DefaultValue"), QStringLiteral("UPdateProg")),
              QStringLiteral("其他"));
    EXPECT_NE(SettingsStore::fileName(zoStore), SettingsStore::fileName(zoStroe));
    EXPECT_TRUE(SettingsStore::fileName(zoStore).startsWith(m_dir.path()));
    EXPECT_EQ(SettingsStore::value(zoStore, QStringLiteral("Pos.Default"), QStringLiteral("PrintPort"),
                                   QStringLiteral("LPT1")),
              QStringLiteral("LPT1"));
    EXPECT_FALSE(SettingsStore::contains(QStringLiteral("carvex"), QStringLiteral("softver"), QStringLiteral("smls.ver")));
}

TEST_F(SettingsTest, upgrade_notes_open_once_per_version_in_a_read_only_window_of_the_program) {
    QTemporaryDir folder;
    setProgramFolder(folder.path());
    ui::RecordingProcesses procs;
    ui::setProcesses(&procs);
    ui::ScriptedDialogs dialogs;
    ui::DialogsScope scope(dialogs);
    const auto restore = qScopeGuard([] {
        ui::setProcesses(nullptr);
        setProgramFolder(QString());
    });
    const auto stored = [] {
        return SettingsStore::value(QStringLiteral("carvex"), QStringLiteral("softver"), QStringLiteral("smls.ver"));
    };
    const auto openNotes = [] {
        QList<QDialog *> found;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("UpgradeNotes") && w->isVisible())
                found.append(static_cast<QDialog *>(w));
        return found;
    };
    const QString notes = QStringLiteral("ZoStore 升级说明\n7.1.9：月底结帐更快。\n");
    {
        QFile f(folder.filePath(QStringLiteral("升级说明.txt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(notes.toUtf8());
    }

    EXPECT_TRUE(showUpgradeNotesIfNew(QStringLiteral("7.1.9")));
    EXPECT_TRUE(procs.started.isEmpty()); // no external editor
    EXPECT_TRUE(dialogs.entries().isEmpty());
    auto shown = openNotes();
    ASSERT_EQ(shown.size(), 1);
    auto *edit = shown[0]->findChild<QPlainTextEdit *>();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_EQ(edit->toPlainText(), notes);
    EXPECT_EQ(stored(), QStringLiteral("7.1.9"));
    shown[0]->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(openNotes().isEmpty());

    EXPECT_FALSE(showUpgradeNotesIfNew(QStringLiteral("7.1.9")));
    EXPECT_FALSE(showUpgradeNotesIfNew(QStringLiteral("7.1.10"))); // "7.1.10" sorts before "7.1.9" as text
    EXPECT_EQ(stored(), QStringLiteral("7.1.9"));
    EXPECT_TRUE(openNotes().isEmpty());

    // a notes file that cannot be read: a message naming it, the version still counts as shown
    QFile::remove(folder.filePath(QStringLiteral("升级说明.txt")));
    EXPECT_TRUE(showUpgradeNotesIfNew(QStringLiteral("7.2.0")));
    EXPECT_EQ(stored(), QStringLiteral("7.2.0"));
    EXPECT_TRUE(openNotes().isEmpty());
    ASSERT_EQ(dialogs.entries().size(), 1);
    EXPECT_TRUE(dialogs.entries()[0].text.contains(QStringLiteral("升级说明.txt")));
}
