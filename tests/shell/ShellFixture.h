// An account set with three users and a logged-in session, recording components, dialogs and processes.
#pragma once

#include "accountdb/Catalogue.h"
#include "accountdb/Schema.h"
#include "components/Component.h"
#include "components/Registry.h"
#include "startup/LoginContext.h"
#include "startup/ProgramFolder.h"
#include "support/TestDatabase.h"
#include "ui/Processes.h"
#include "ui/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>

namespace shelltest {

struct Call {
    QString progId;
    QString member;
    QVariantList args;
};

// Shared log of every component created and every member called.
struct CallLog {
    QStringList created;
    QList<Call> calls;
    QHash<QString, QVariant> results; // lower-cased member or property -> answer
};

class RecordingComponent : public zostore::components::Component {
public:
    RecordingComponent(const QString &progId, std::shared_ptr<CallLog> log)
        : Component(progId), m_log(std::move(log)) {}
    QVariant invoke(const QString &member, const QVariantList &args) override {
        m_log->calls.append({progId(), member, args});
        return m_log->results.value(member.toLower());
    }
    QVariant property(const QString &name) const override { return m_log->results.value(name.toLower()); }

private:
    std::shared_ptr<CallLog> m_log;
};

// Registers a recording fake for each ProgID for the fixture's lifetime.
class FakeComponents {
public:
    explicit FakeComponents(const QStringList &progIds) : log(std::make_shared<CallLog>()) {
        for (const QString &id : progIds)
            m_scopes.push_back(std::make_unique<zostore::components::ScopedFactory>(id, [this, id] {
                log->created << id;
                return std::make_shared<RecordingComponent>(id, log);
            }));
    }
    std::shared_ptr<CallLog> log;

private:
    std::vector<std::unique_ptr<zostore::components::ScopedFactory>> m_scopes;
};

inline const QStringList AllFakeProgIds = {
    "nuvo_Bill.RunBill",       "nuvo_CashMan.CashBill",    "nuvo_Init.RunInit",     "nuvo_Login.Login",
    "nuvo_PriceMan.SalePrice", "Zo_BillTransfer.Transfer", "ZoDesiger_Dll.Desiger", "nuvo_Message.Msg",
    "nuvo_Message.receiveMsg", "nuvo_PosReport.Report",    "nuvo_PurReport.Report", "nuvo_StockReport.Report",
    "nuvo_VipMan.VipMan",      "nuvo_Weight.Weight",       "nuvo_PdMan.Pd_Manager", "VnitemGy.ViewItem",
    "nuvo_User.UserMan",       "Zo_GetIP.GetMaxVer",       "zo_getip.getip"};

class ShellFixture : public zostore::test::BackendTest {
protected:
    enum User { Admin = 1, WangLi = 2, LiQiang = 3 };

    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        m_conn = std::make_unique<zostore::db::Connection>(db().connect());
        zostore::accountdb::createAccountSchema(*m_conn);
        int id = 0;
        for (const auto &[name, manager] : {std::pair{"admin", 1}, {"王丽", 0}, {"李强", 0}})
            m_conn->execute(QStringLiteral("insert into t_User (FUserID, FName, FManager) values (?, ?, ?)"),
                            {++id, QString::fromUtf8(name), manager});
        // The program folder: the pictures plus whatever a test puts beside them
        QFile::link(QStringLiteral(ZOSTORE_PICTURE_DIR),
                    QDir(m_programDir.path()).filePath(QStringLiteral("picture")));
        zostore::startup::setProgramFolder(m_programDir.path());
        zostore::ui::setProcesses(&m_processes);
        m_dialogScope = std::make_unique<zostore::ui::DialogsScope>(m_dialogs);
        login(Admin, 2013, 1, 2013, 1);
    }

    void TearDown() override {
        m_dialogScope.reset();
        zostore::ui::setProcesses(nullptr);
        zostore::startup::setProgramFolder({});
        zostore::startup::loginContext().reset();
        m_conn.reset();
        BackendTest::TearDown();
    }

    void login(int userId, int year, int period, int startYear, int startPeriod) {
        auto &ctx = zostore::startup::loginContext();
        static const char *names[] = {"", "admin", "王丽", "李强"};
        ctx.setLogin(userId, QString::fromUtf8(names[userId]), cnstr(), cnstr(), QStringLiteral("测试帐套"));
        ctx.setIsManager(userId == Admin);
        ctx.setCurrentPeriod(qint16(year), qint16(period));
        ctx.setStartPeriod(qint16(startYear), qint16(startPeriod));
    }

    void grant(int userId, const QString &code, const QVariant &value = 1) {
        m_conn->execute(
            QStringLiteral("insert into t_Grant (FUserID, FSubSystemID, FGrant) values (?, ?, ?)"),
            {userId, code, value});
    }

    void setProfile(const QString &key, const QString &value) {
        m_conn->execute(QStringLiteral("delete from t_systemprofile where lower(FKey)=lower(?)"), {key});
        m_conn->execute(QStringLiteral("insert into t_systemprofile (FKey, FValue) values (?, ?)"),
                        {key, value});
    }

    QString programDir() const { return m_programDir.path(); }

    std::unique_ptr<zostore::db::Connection> m_conn;
    QTemporaryDir m_settings;
    QTemporaryDir m_programDir;
    zostore::ui::ScriptedDialogs m_dialogs;
    zostore::ui::RecordingProcesses m_processes;
    std::unique_ptr<zostore::ui::DialogsScope> m_dialogScope;
};

} // namespace shelltest
