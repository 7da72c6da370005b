// Page setups and grid layouts kept per layout key and user.
#include "AccountFixture.h"
#include "components/FormatGridComponent.h"
#include "components/PageSetComponent.h"
#include "components/Session.h"
#include "db/Error.h"
#include "ui/Grid.h"

#include <QPageSetupDialog>
#include <QPrinter>

using namespace zostore;
using namespace zostore::components;

class FormattingTest : public AccountFixture {
protected:
    void TearDown() override {
        setCurrentUserId(0);
        AccountFixture::TearDown();
    }
};

TEST_P(FormattingTest, page_setup_is_stored_when_confirmed_and_left_alone_when_cancelled) {
    ui::DialogsScope scope(m_dialogs);
    setCurrentUserId(2);
    ui::Grid grid;
    PageSetComponent c;
    m_dialogs.queueWindow([](QDialog &d) {
        QPrinter *p = static_cast<QPageSetupDialog &>(d).printer();
        EXPECT_EQ(p->pageLayout().pageSize().id(), QPageSize::A4);
        p->setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(5, 6, 7, 8),
                                     QPageLayout::Millimeter));
        return int(QDialog::Accepted);
    });
    c.invoke(QStringLiteral("ShowPageSet"), {cnstr(), QStringLiteral("frmAction1"), 5,
                                            QVariant::fromValue<QObject *>(&grid)});
    EXPECT_TRUE(c.property(QStringLiteral("Isok")).toBool());
    const QPageLayout stored = PageSetComponent::load(cnstr(), QStringLiteral("frmAction1"), 2);
    EXPECT_EQ(stored.pageSize().id(), QPageSize::A5);
    EXPECT_EQ(stored.orientation(), QPageLayout::Landscape);
    EXPECT_NEAR(stored.margins(QPageLayout::Millimeter).bottom(), 8.0, 0.01);
    // Another user and another key keep the default.
    EXPECT_EQ(PageSetComponent::load(cnstr(), QStringLiteral("frmAction1"), 1).pageSize().id(), QPageSize::A4);
    EXPECT_EQ(PageSetComponent::load(cnstr(), QStringLiteral("frmAction2"), 2).pageSize().id(), QPageSize::A4);

    m_dialogs.queueWindow([](QDialog &d) {
        static_cast<QPageSetupDialog &>(d).printer()->setPageOrientation(QPageLayout::Portrait);
        return int(QDialog::Rejected);
    });
    c.ShowPageSet(cnstr(), QStringLiteral("frmAction1"), 5, &grid);
    EXPECT_FALSE(c.Isok());
    EXPECT_EQ(PageSetComponent::load(cnstr(), QStringLiteral("frmAction1"), 2).orientation(), QPageLayout::Landscape);
}

TEST_P(FormattingTest, grid_widths_and_hidden_columns_round_trip_per_user) {
    setCurrentUserId(2);
    const auto makeGrid = [] {
        auto g = std::make_unique<ui::Grid>();
        g->setCols(4);
        g->setFixedRows(1);
        for (int c = 0; c < 4; ++c)
            g->setColWidthTwips(c, 1200);
        return g;
    };
    auto grid = makeGrid();
    grid->setColHidden(0, true); // the window hides its key column
    grid->setColWidthTwips(2, 3000);
    FormatGridComponent c;
    const QVariant g = QVariant::fromValue<QObject *>(grid.get());
    c.invoke(QStringLiteral("WriteWidth"), {g, cnstr(), QStringLiteral("frmSafeStock"), false});

    auto fresh = makeGrid();
    c.SetFormatWithoutHeader(fresh.get(), cnstr(), QStringLiteral("frmSafeStock"));
    EXPECT_TRUE(fresh->colHidden(0));
    EXPECT_NEAR(fresh->colWidthTwips(2), 3000, 20);
    EXPECT_NEAR(fresh->colWidthTwips(1), 1200, 20);

    // Without the flag a column shown now keeps its stored hidden state; with it the state is stored.
    fresh->setColHidden(0, false);
    c.WriteWidth(fresh.get(), cnstr(), QStringLiteral("frmSafeStock"), false);
    auto third = makeGrid();
    c.SetFormatWithoutHeader(third.get(), cnstr(), QStringLiteral("frmSafeStock"));
    EXPECT_TRUE(third->colHidden(0));
    c.WriteWidth(fresh.get(), cnstr(), QStringLiteral("frmSafeStock"), true);
    c.SetFormatWithoutHeader(third.get(), cnstr(), QStringLiteral("frmSafeStock"));
    EXPECT_FALSE(third->colHidden(0));

    // Another user sees the designed layout.
    setCurrentUserId(3);
    auto other = makeGrid();
    c.SetFormatWithoutHeader(other.get(), cnstr(), QStringLiteral("frmSafeStock"));
    EXPECT_NEAR(other->colWidthTwips(2), 1200, 20);
    EXPECT_THROW(c.SetFormatWithoutHeader(nullptr, cnstr(), QStringLiteral("frmSafeStock")), Error);
}

ZOSTORE_BACKENDS(FormattingTest);
