// zostore-admin and a bill save killed at random moments: every operation is all-or-nothing and the
// database stays sound.
// Counts are small here; tools/reliability/kill-suite.sh runs the same test with large ones.
#include "accountdb/Catalogue.h"
#include "db/Connection.h"
#include "support/TestDatabase.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

namespace zostore::test {

namespace {

int envNumber(const char *name, int fallback) {
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok && v > 0 ? v : fallback;
}

// The books as text: every table an operation may rewrite, in key order, numbers to 4 places.
QString digest(db::Connection &conn) {
    static const QStringList queries = {
        QStringLiteral("select FItemID,FYear,FPeriod,FBegQty,FBegBal from icbal order by 1,2,3"),
        QStringLiteral("select FYear,FPeriod,FItemID,FStockID,FBegQty,FBegBal from icstockbal order by 1,2,3,4"),
        QStringLiteral("select FStockID,FItemID,FQty from ICInventory order by 1,2"),
        QStringLiteral("select FInterID,FTranType,FYear,FPeriod,FSumAmount from ICStockBill order by 1"),
        QStringLiteral("select FInterID,FEntryID,FQty,FPrice,FAmount,FUnitCost,FCost from ICStockBillEntry "
                       "order by 1,2"),
        QStringLiteral("select FStockID,FItemID,FMin,FMax,FSafe from ICSafeStock order by 1,2"),
        QStringLiteral("select FItemID,FPjCost,FMinStock,FMaxStock,FSafeStock from t_ICItem order by 1"),
        QStringLiteral("select FOrgaType,FOrgaID,FAmount from t_WLBegBal order by 1,2"),
        QStringLiteral("select lower(FKey),FValue from t_systemprofile order by 1")};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString &q : queries) {
        db::Recordset rs = conn.open(q, {}, db::Cursor::Forward);
        for (; !rs.eof(); rs.moveNext())
            for (int i = 0; i < rs.fieldCount(); ++i) {
                const QVariant v = rs.value(i);
                bool num = false;
                const double d = v.toDouble(&num);
                const QString cell = v.isNull() ? QStringLiteral("~")
                                     : num      ? QString::number(d, 'f', 4)
                                                : db::Recordset::textOf(v);
                hash.addData(cell.toUtf8() + '|');
            }
        hash.addData("#");
    }
    return QString::fromLatin1(hash.result().toHex());
}

// What no operation may leave behind, killed or not.
QString soundness(db::Connection &conn) {
    QStringList faults;
    if (conn.isSqlite()) {
        const QString ok = conn.scalar(QStringLiteral("pragma integrity_check")).toString();
        if (ok != QLatin1String("ok"))
            faults << ok;
    }
    if (conn.scalar(QStringLiteral("select count(*) from ICStockBillEntry e where not exists "
                                   "(select 1 from ICStockBill b where b.FInterID=e.FInterID)"))
            .toInt() != 0)
        faults << QStringLiteral("entries without a bill");
    if (conn.scalar(QStringLiteral("select count(*) from t_systemprofile where lower(FKey) in "
                                   "('currentyear','currentperiod')"))
            .toInt() != 2)
        faults << QStringLiteral("current month lost");
    return faults.join(u';');
}

struct Figures {
    int runs = 0, kills = 0, before = 0, after = 0;
};

class KillTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_catalogue = db().createSibling(QStringLiteral("killcat"));
        accountdb::Catalogue(m_catalogue).create();
        m_tag = QStringLiteral("%1").arg(QRandomGenerator::global()->bounded(1000000));
        m_rng.seed(static_cast<quint32>(envNumber("ZOSTORE_KILL_SEED", 20261207)));
    }
    void TearDown() override {
        accountdb::Catalogue cat(m_catalogue);
        for (const auto &set : cat.list())
            cat.removeAccountSet(set.dbFileName);
        for (const QString &name : m_unregistered)
            dropUnregistered(name);
        BackendTest::TearDown();
    }

    QString dbName(const QString &role) const { return QStringLiteral("zs_kill_%1_%2").arg(role, m_tag); }

    QStringList generateArgs(const QString &name) const {
        return {QStringLiteral("generate"), name, name, QStringLiteral("--items"),
                QString::number(envNumber("ZOSTORE_KILL_ITEMS", 60)), QStringLiteral("--stores"), QStringLiteral("2"),
                QStringLiteral("--members"), QStringLiteral("10"), QStringLiteral("--bills"),
                QString::number(envNumber("ZOSTORE_KILL_BILLS", 300)), QStringLiteral("--lines"), QStringLiteral("4"),
                QStringLiteral("--months"), QStringLiteral("2")};
    }

    QProcess *start(const QStringList &args, const QString &workDir,
                    const QString &program = QStringLiteral(ZOSTORE_ADMIN_EXE)) {
        auto *p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZOSTORE_CATALOG"), m_catalogue);
        env.insert(QStringLiteral("ZOSTORE_WORKDIR"), workDir);
        env.insert(QStringLiteral("ZOSTORE_PASSWORD"), QStringLiteral("kill-test-9"));
        env.insert(QStringLiteral("ZOSTORE_BILL_ACCOUNT"), m_billAccount);
        p->setProcessEnvironment(env);
        p->setProgram(program);
        p->setArguments(args);
        p->start();
        p->waitForStarted();
        return p;
    }

    // Runs to the end; returns the exit code and keeps the output for failure messages.
    int run(const QStringList &args, const QString &workDir, qint64 *ms = nullptr) {
        QElapsedTimer t;
        t.start();
        std::unique_ptr<QProcess> p(start(args, workDir));
        p->waitForFinished(120000);
        if (ms)
            *ms = t.elapsed();
        m_lastOutput = QString::fromUtf8(p->readAllStandardOutput() + p->readAllStandardError());
        return p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
    }

    // Kills the command after a random part of `typicalMs`; false when it ended before the kill.
    bool runAndKill(const QStringList &args, const QString &workDir, qint64 typicalMs) {
        const int delay = static_cast<int>(m_rng.bounded(static_cast<quint32>(qMax<qint64>(typicalMs, 20))));
        std::unique_ptr<QProcess> p(start(args, workDir));
        if (p->waitForFinished(delay))
            return false;
        p->kill(); // SIGKILL
        p->waitForFinished(10000);
        return true;
    }

    QString account(const QString &name) { return accountdb::Catalogue(m_catalogue).accountConnectionString(name); }

    void dropUnregistered(const QString &name) {
        if (isSqlite())
            return; // the temporary folder goes with the fixture
        db::Connection admin(postgresAdminString());
        admin.execute(QStringLiteral("drop database if exists %1").arg(name));
    }

    QString m_catalogue, m_tag, m_lastOutput, m_billAccount;
    QStringList m_unregistered;
    QRandomGenerator m_rng;
    QTemporaryDir m_refWork, m_victimWork;
};

TEST_P(KillTest, every_operation_is_all_or_nothing_when_killed) {
    const QString ref = dbName(QStringLiteral("ref")), victim = dbName(QStringLiteral("vic"));
    ASSERT_EQ(run(generateArgs(ref), m_refWork.path()), 0) << m_lastOutput.toStdString();
    ASSERT_EQ(run(generateArgs(victim), m_victimWork.path()), 0) << m_lastOutput.toStdString();
    db::Connection refConn(account(ref)), victimConn(account(victim));
    ASSERT_EQ(digest(victimConn), digest(refConn)) << "the generator is not deterministic";
    // Bills as they stand before any costing, so that the first recompute has work to do.
    for (db::Connection *c : {&refConn, &victimConn}) {
        c->execute(QStringLiteral("update ICStockBillEntry set FUnitCost=0, FCost=0"));
        c->execute(QStringLiteral("update t_ICItem set FPjCost=0"));
    }

    const QString user = QStringLiteral("admin");
    const std::vector<QStringList> chain = {
        {QStringLiteral("cost"), QStringLiteral("--user"), user},
        {QStringLiteral("stocklimit"), QStringLiteral("--user"), user, QStringLiteral("--from"),
         QStringLiteral("2000-01-01"), QStringLiteral("--to"), QStringLiteral("2099-12-31"), QStringLiteral("--min"),
         QStringLiteral("0.5"), QStringLiteral("--max"), QStringLiteral("3"), QStringLiteral("--safe"), QStringLiteral("1.5")},
        {QStringLiteral("safestock-import"), QStringLiteral("--user"), user},
        {QStringLiteral("close"), QStringLiteral("--user"), user, QStringLiteral("--ignore-missing-cost")},
        {QStringLiteral("reopen"), QStringLiteral("--user"), user},
        {QStringLiteral("clear-history"), QStringLiteral("--user"), user, QStringLiteral("--before")},
        {QStringLiteral("close"), QStringLiteral("--user"), user, QStringLiteral("--auto-bill"),
         QStringLiteral("--ignore-missing-cost")}};
    Figures f;
    const int rounds = envNumber("ZOSTORE_KILL_ROUNDS", 2);
    for (const QStringList &op : chain) {
        const QString name = op.first();
        if (name == QLatin1String("safestock-import"))
            for (db::Connection *c : {&refConn, &victimConn}) { // limits lost since the export, so the import restores them
                c->execute(QStringLiteral("update t_ICItem set FMinStock=0, FMaxStock=0, FSafeStock=0"));
                c->execute(QStringLiteral("delete from ICSafeStock"));
            }
        QStringList refArgs = op, victimArgs = op;
        if (name == QLatin1String("clear-history")) { // mid-month, so bills are kept and cleared
            const auto profile = [&](const char *key) {
                return refConn
                    .scalar(QStringLiteral("select FValue from t_systemprofile where lower(FKey)=?"),
                            {QString::fromLatin1(key)})
                    .toInt();
            };
            const QString day = QDate(profile("currentyear"), profile("currentperiod"), 15).toString(Qt::ISODate);
            refArgs << day;
            victimArgs << day;
        }
        refArgs.insert(1, ref);
        victimArgs.insert(1, victim);
        const QString before = digest(refConn);
        qint64 ms = 0;
        ASSERT_EQ(run(refArgs, m_refWork.path(), &ms), 0) << name.toStdString() << ": " << m_lastOutput.toStdString();
        const QString after = digest(refConn);
        ASSERT_NE(after, before) << name.toStdString() << " changed nothing: the test cannot tell the states apart";
        bool done = false;
        for (int round = 0; round < rounds && !done; ++round) {
            ++f.runs;
            if (runAndKill(victimArgs, m_victimWork.path(), ms * 3 / 2))
                ++f.kills;
            const QString now = digest(victimConn);
            ASSERT_EQ(soundness(victimConn), QString()) << name.toStdString();
            ASSERT_TRUE(now == before || now == after) << name.toStdString() << " left a half-done state";
            ASSERT_EQ(run({QStringLiteral("check-stock"), victim, QStringLiteral("--user"), user},
                          m_victimWork.path()),
                      0)
                << name.toStdString() << ": " << m_lastOutput.toStdString();
            done = now == after;
            ++(done ? f.after : f.before);
        }
        if (!done) {
            ASSERT_EQ(run(victimArgs, m_victimWork.path()), 0) << name.toStdString() << ": " << m_lastOutput.toStdString();
            ASSERT_EQ(digest(victimConn), after) << name.toStdString() << " after a killed run differs";
        }
    }
    std::printf("kill suite %s: %d runs, %d killed, %d left as before, %d finished, 0 half-done\n",
                isSqlite() ? "SQLite" : "PostgreSQL", f.runs, f.kills, f.before, f.after);
}

TEST_P(KillTest, a_killed_generate_registers_nothing_and_can_be_run_again) {
    const QString ref = dbName(QStringLiteral("gref")), gen = dbName(QStringLiteral("gen"));
    qint64 ms = 0;
    ASSERT_EQ(run(generateArgs(ref), m_refWork.path(), &ms), 0) << m_lastOutput.toStdString();
    db::Connection refConn(account(ref));
    const QString expected = digest(refConn);
    const int rounds = envNumber("ZOSTORE_KILL_ROUNDS", 2);
    int killed = 0;
    for (int round = 0; round < rounds; ++round) {
        m_unregistered << gen;
        const bool wasKilled = runAndKill(generateArgs(gen), m_victimWork.path(), ms);
        killed += wasKilled ? 1 : 0;
        const QString registered = accountdb::Catalogue(m_catalogue).nameOf(gen);
        if (!registered.isEmpty()) {
            db::Connection c(account(gen));
            EXPECT_EQ(digest(c), expected) << "a registered account set is incomplete";
            EXPECT_EQ(soundness(c), QString());
            accountdb::Catalogue(m_catalogue).removeAccountSet(gen);
        }
        ASSERT_EQ(run(generateArgs(gen), m_victimWork.path()), 0) << "rerun after a kill: " << m_lastOutput.toStdString();
        db::Connection c(account(gen));
        EXPECT_EQ(digest(c), expected);
        accountdb::Catalogue(m_catalogue).removeAccountSet(gen);
    }
    std::printf("kill suite %s: generate %d runs, %d killed, nothing half-registered\n",
                isSqlite() ? "SQLite" : "PostgreSQL", rounds, killed);
}

TEST_P(KillTest, a_bill_save_killed_halfway_leaves_no_half_bill) {
    const QString name = dbName(QStringLiteral("bill"));
    ASSERT_EQ(run(generateArgs(name), m_victimWork.path()), 0) << m_lastOutput.toStdString();
    m_billAccount = account(name);
    db::Connection conn(m_billAccount);
    const QString lines = QString::number(envNumber("ZOSTORE_KILL_BILL_LINES", 1500));
    const QString saver = QStringLiteral(ZOSTORE_BILL_SAVER_EXE);
    const auto saved = [](const QString &output) { return static_cast<int>(output.count(QStringLiteral("saved "))); };
    const auto ours = [&] {
        return conn.scalar(QStringLiteral("select count(*) from ICStockBill where FRemark='kill'")).toInt();
    };
    std::unique_ptr<QProcess> first(start({QStringLiteral("1"), lines}, m_victimWork.path(), saver));
    ASSERT_TRUE(first->waitForFinished(120000));
    const QString firstOut = QString::fromUtf8(first->readAll());
    ASSERT_EQ(first->exitCode(), 0) << firstOut.toStdString() << first->readAllStandardError().toStdString();
    const qint64 ms = firstOut.section(u' ', -1).trimmed().toLongLong();

    const int rounds = envNumber("ZOSTORE_KILL_ROUNDS", 2) * 2;
    int killedInside = 0;
    for (int round = 0; round < rounds; ++round) {
        const int before = ours();
        std::unique_ptr<QProcess> p(start({QStringLiteral("3"), lines}, m_victimWork.path(), saver));
        QString out;
        while (!out.contains(QStringLiteral("saving")) && p->waitForReadyRead(60000))
            out += QString::fromUtf8(p->readAll());
        ASSERT_TRUE(out.contains(QStringLiteral("saving"))) << p->readAllStandardError().toStdString();
        const int delay = static_cast<int>(m_rng.bounded(static_cast<quint32>(qMax<qint64>(ms * 3 / 2, 20))));
        if (!p->waitForFinished(delay)) {
            p->kill(); // SIGKILL
            p->waitForFinished(10000);
        }
        out += QString::fromUtf8(p->readAll());
        const int added = ours() - before;
        const bool midSave = out.count(QStringLiteral("saving")) > saved(out);
        killedInside += midSave && added == saved(out) ? 1 : 0;
        // a bill whose commit outran the kill's report may be there, nothing else
        ASSERT_TRUE(added == saved(out) || (midSave && added == saved(out) + 1)) << out.toStdString();
        ASSERT_EQ(soundness(conn), QString());
        EXPECT_EQ(conn.scalar(QStringLiteral("select count(*) from ICStockBill b where b.FDeleted=0 and not exists "
                                             "(select 1 from ICStockBillEntry e where e.FInterID=b.FInterID)"))
                      .toInt(),
                  0)
            << "a bill without lines";
        EXPECT_EQ(conn.scalar(QStringLiteral("select count(*) from ICStockBill b where b.FRemark='kill' and "
                                             "(select count(*) from ICStockBillEntry e where e.FInterID=b.FInterID)<>?"),
                              {lines.toInt()})
                      .toInt(),
                  0)
            << "a bill with part of its lines";
        ASSERT_EQ(run({QStringLiteral("check-stock"), name, QStringLiteral("--user"), QStringLiteral("admin")},
                      m_victimWork.path()),
                  0)
            << m_lastOutput.toStdString();
    }
    // the next save still draws a number no bill has
    std::unique_ptr<QProcess> next(start({QStringLiteral("1"), QStringLiteral("3")}, m_victimWork.path(), saver));
    ASSERT_TRUE(next->waitForFinished(60000));
    ASSERT_EQ(next->exitCode(), 0) << next->readAllStandardError().toStdString();
    EXPECT_EQ(conn.scalar(QStringLiteral("select count(*)-count(distinct FBillNo) from ICStockBill")).toInt(), 0);
    std::printf("kill suite %s: bill save %d runs, %d killed inside a save, no half bill\n",
                isSqlite() ? "SQLite" : "PostgreSQL", rounds, killedInside);
}

ZOSTORE_BACKENDS(KillTest);

} // namespace

} // namespace zostore::test
