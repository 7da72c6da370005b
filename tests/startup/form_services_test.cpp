// Page setup and grid layout services over recording components.
#include "components/Registry.h"
#include "startup/FormServices.h"
#include "startup/LoginContext.h"
#include "ui/Grid.h"

#include <gtest/gtest.h>

using namespace zostore;
using namespace zostore::components;
using namespace zostore::startup;

namespace {

class Recording : public Component {
public:
    Recording(const QString &progId, QStringList &log, const bool &isOk) : Component(progId) {
        for (const QString &member : {QStringLiteral("ShowPageSet"), QStringLiteral("SetFormatWithoutHeader"),
                                      QStringLiteral("WriteWidth")})
            addMethod(member, 3, 4, [&log, member](const QVariantList &a) {
                QStringList args;
                for (const QVariant &v : a)
                    args << (v.value<QObject *>() ? QStringLiteral("grid") : v.toString());
                log << member + QLatin1Char('(') + args.join(QLatin1Char(',')) + QLatin1Char(')');
                return QVariant();
            });
        addProperty(QStringLiteral("Isok"), [&isOk] { return QVariant(isOk); });
    }
};

} // namespace

TEST(FormServices, page_setup_formats_the_grid_only_when_confirmed_and_the_components_are_shared) {
    QStringList log;
    bool isOk = false;
    int created = 0;
    const auto factory = [&](const QString &id) {
        return [&, id] {
            ++created;
            return std::make_shared<Recording>(id, log, isOk);
        };
    };
    ScopedFactory page(QStringLiteral("VnPageset.PageSet"), factory(QStringLiteral("VnPageset.PageSet")));
    ScopedFactory format(QStringLiteral("VnFmtGrid.FormatGrid"), factory(QStringLiteral("VnFmtGrid.FormatGrid")));
    resetFormComponents();
    loginContext().reset();
    loginContext().setLogin(2, QStringLiteral("王丽"), QStringLiteral("cn"), QString(), QString());
    ui::Grid grid;

    ShowPageSetup(&grid, 7, QStringLiteral("frmAction1"));
    EXPECT_EQ(log, QStringList{QStringLiteral("ShowPageSet(cn,frmAction1,7,grid)")});
    isOk = true;
    ShowPageSetup(&grid, 7, QStringLiteral("frmAction1"), true);
    EXPECT_EQ(log.size(), 2);
    ShowPageSetup(&grid, 7, QStringLiteral("frmAction1"));
    EXPECT_EQ(log.last(), QStringLiteral("SetFormatWithoutHeader(grid,cn,frmAction1)"));
    ApplyGridFormat(&grid, QStringLiteral("frmAction2"));
    SaveGridWidths(&grid, QStringLiteral("frmAction2"));
    SaveGridWidths(&grid, QStringLiteral("frmAction2"), true);
    EXPECT_EQ(log.mid(4), (QStringList{QStringLiteral("SetFormatWithoutHeader(grid,cn,frmAction2)"),
                                       QStringLiteral("WriteWidth(grid,cn,frmAction2,false)"),
                                       QStringLiteral("WriteWidth(grid,cn,frmAction2,true)")}));
    EXPECT_EQ(created, 2);
    resetFormComponents();
    loginContext().reset();
}
