// The settings store and the upgrade notes that depend on it.
#include "startup/ProgramFolder.h"
#include "startup/SettingsStore.h"
#include "startup/UpgradeNotes.h"
#include "ui/Processes.h"

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

TEST_F(SettingsTest, upgrade_notes_open_once_per_version_by_text_comparison) {
    QTemporaryDir folder;
    setProgramFolder(folder.path());
    ui::RecordingProcesses procs;
    ui::setProcesses(&procs);
    const auto restore = qScopeGuard([] {
        ui::setProcesses(nullptr);
        setProgramFolder(QString());
    });
    const auto stored = [] {
        return SettingsStore::value(QStringLiteral("carvex"), QStringLiteral("softver"), QStringLiteral("smls.ver"));
    };

    EXPECT_TRUE(showUpgradeNotesIfNew(QStringLiteral("7.1.9")));
    ASSERT_EQ(procs.started.size(), 1);
    EXPECT_EQ(procs.started[0].commandLine, QStringLiteral("notepad.exe ") + folder.path() + QStringLiteral("/升级说明.txt"));
    EXPECT_EQ(procs.started[0].style, ui::WindowStyle::NormalFocus);
    EXPECT_EQ(stored(), QStringLiteral("7.1.9"));

    EXPECT_FALSE(showUpgradeNotesIfNew(QStringLiteral("7.1.9")));
    EXPECT_FALSE(showUpgradeNotesIfNew(QStringLiteral("7.1.10"))); // "7.1.10" sorts before "7.1.9" as text
    EXPECT_EQ(stored(), QStringLiteral("7.1.9"));
    EXPECT_TRUE(showUpgradeNotesIfNew(QStringLiteral("7.2.0")));
    EXPECT_EQ(stored(), QStringLiteral("7.2.0"));
    EXPECT_EQ(procs.started.size(), 2);
}
