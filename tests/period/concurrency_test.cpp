// Two workstations running month-end operations on one account set at the same moment.
#include "PeriodFixture.h"

#include "db/Error.h"
#include "period/CostCalculation.h"
#include "period/MonthEndClosing.h"
#include "period/PeriodMath.h"
#include "period/ProcedureSteps.h"

#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <thread>

using namespace zostore;
using namespace zostore::test;
using period::YearPeriod;

namespace {

enum class Op { Cost, Close, Reopen };

// Runs one operation the way the windows and the batch commands do, on a connection of its own.
QString runOp(Op op, const QString &cs, YearPeriod current) {
    try {
        period::MonthEndClosing closing(cs, current);
        switch (op) {
        case Op::Cost:
            period::CostCalculation(cs, current).weightedAverage();
            break;
        case Op::Close:
            closing.runClosePeriod(false, 0, period::monthEnd(current));
            break;
        case Op::Reopen:
            closing.reopen({});
            break;
        }
        return {};
    } catch (const Error &e) {
        return e.description();
    }
}

class ConcurrencyTest : public PeriodFixture {
protected:
    void TearDown() override {
        db::Connection::setBooksLockWait(15000);
        PeriodFixture::TearDown();
    }

    // Openings and receipts at different prices in two months, so that costing before or after a
    // closing, or a closing interleaved with another, gives different balances.
    void seed() {
        for (int i = 1; i <= 5; ++i) {
            addItem(i, QStringLiteral("%1").arg(i, 3, 10, QChar(u'0')));
            addBalance(i, 2024, 1, 10 * i, 10 * i * (3 + i));
        }
        addBill(101, 12, QDate(2024, 1, 4), {{1, 10, 7, 70}, {2, 5, 9.5, 47.5}, {3, 8, 2, 16}});
        addBill(102, 22, QDate(2024, 1, 9), {{1, 12, 20, 240}, {2, 6, 15, 90}, {4, 3, 11, 33}});
        addBill(103, 12, QDate(2024, 1, 20), {{1, 4, 8.25, 33}, {5, 2, 1, 2}});
        addBill(104, 24, QDate(2024, 1, 25), {{3, 5, 9, 45}, {5, 20, 8, 160}});
        addBill(201, 12, QDate(2024, 2, 3), {{1, 6, 11, 66}, {4, 9, 3, 27}});
        addBill(202, 22, QDate(2024, 2, 8), {{1, 3, 30, 90}, {4, 2, 12, 24}});
    }

    QMap<QString, QStringList> books() {
        QMap<QString, QStringList> all = dumpAll();
        all.remove(QStringLiteral("t_systemprofile"));
        all.insert(QStringLiteral("period"),
                   {conn().scalar(QStringLiteral("select FValue from t_systemprofile where FKey='CurrentYear'")).toString(),
                    conn().scalar(QStringLiteral("select FValue from t_systemprofile where FKey='CurrentPeriod'")).toString()});
        return all;
    }

    // The same account set in a second database with the operations run one after the other.
    QMap<QString, QStringList> serially(const std::vector<std::pair<Op, YearPeriod>> &prelude,
                                        const std::vector<std::pair<Op, YearPeriod>> &ops) {
        const QString cs = db().createSibling(QStringLiteral("serial"));
        db::Connection other(cs);
        prepareAccount(other);
        seedInto(&other);
        seed();
        for (const auto &[op, p] : prelude)
            EXPECT_EQ(runOp(op, cs, p), QString());
        for (const auto &[op, p] : ops)
            runOp(op, cs, p);
        QMap<QString, QStringList> result = books();
        seedInto(nullptr);
        return result;
    }

    // Starts `first`; once it holds the account-set lock, starts `second` and lets `first` go on only
    // when `second` waits for the lock (or, with a short wait, has given up). Returns both outcomes.
    std::pair<QString, QString> race(Op first, Op second, YearPeriod current, bool untilSecondEnds = false) {
        std::atomic<bool> secondStarted{false}, secondDone{false}, paused{false};
        QString secondResult;
        std::thread secondThread;
        const std::thread::id firstId = std::this_thread::get_id();
        const QString cs = cnstr();
        const bool pg = !isSqlite();
        period::setStepObserver([&](const QString &) {
            if (std::this_thread::get_id() != firstId || paused.exchange(true))
                return;
            secondThread = std::thread([&] {
                secondStarted = true;
                secondResult = runOp(second, cs, current);
                secondDone = true;
            });
            QElapsedTimer t;
            t.start();
            while (!secondStarted && t.elapsed() < 5000)
                QThread::msleep(5);
            // PostgreSQL shows the waiter; SQLite's writer waits inside its busy handler, unseen.
            db::Connection watcher(cs);
            while (!secondDone && t.elapsed() < 10000) {
                QThread::msleep(5);
                if (untilSecondEnds)
                    continue;
                if (pg && watcher.scalar(QStringLiteral("select count(*) from pg_locks where locktype='advisory' "
                                                        "and not granted")).toInt() > 0)
                    break;
                if (!pg && t.elapsed() > 300)
                    break;
            }
        });
        const QString firstResult = runOp(first, cs, current);
        if (secondThread.joinable())
            secondThread.join();
        period::setStepObserver({});
        return {firstResult, secondResult};
    }
};

const QString booksBusy = QStringLiteral("另一台电脑正在结帐、计算成本或进行其他整帐操作，本帐套已被锁定，请稍后再试。");

TEST_P(ConcurrencyTest, cost_and_close_at_once_equal_cost_then_close) {
    seed();
    const auto [a, b] = race(Op::Cost, Op::Close, {2024, 1});
    EXPECT_EQ(a, QString());
    EXPECT_EQ(b, QString());
    EXPECT_EQ(books(), serially({}, {{Op::Cost, {2024, 1}}, {Op::Close, {2024, 1}}}));
}

TEST_P(ConcurrencyTest, second_close_of_the_same_month_is_refused_after_the_first) {
    seed();
    const auto [a, b] = race(Op::Close, Op::Close, {2024, 1});
    EXPECT_EQ(a, QString());
    EXPECT_TRUE(b.contains(QStringLiteral("可能已在其他电脑上结账"))) << b.toStdString();
    EXPECT_EQ(books(), serially({}, {{Op::Close, {2024, 1}}}));
}

TEST_P(ConcurrencyTest, reopen_and_close_at_once_equal_reopen_alone) {
    seed();
    ASSERT_EQ(runOp(Op::Close, cnstr(), {2024, 1}), QString());
    const auto [a, b] = race(Op::Reopen, Op::Close, {2024, 2});
    EXPECT_EQ(a, QString());
    EXPECT_TRUE(b.contains(QStringLiteral("可能已在其他电脑上结账"))) << b.toStdString();
    EXPECT_EQ(books(), serially({{Op::Close, {2024, 1}}}, {{Op::Reopen, {2024, 2}}}));
}

TEST_P(ConcurrencyTest, a_waiter_gives_up_with_the_lock_message_and_changes_nothing) {
    seed();
    db::Connection::setBooksLockWait(200);
    const auto [a, b] = race(Op::Close, Op::Cost, {2024, 1}, true);
    EXPECT_EQ(a, QString());
    EXPECT_EQ(b, booksBusy);
    EXPECT_TRUE(Error(b).isLock());
    EXPECT_EQ(books(), serially({}, {{Op::Close, {2024, 1}}}));
}

ZOSTORE_BACKENDS(ConcurrencyTest);

} // namespace
