// Creating components by ProgID, late-bound calls, and the file version.
#include "components/Builtins.h"
#include "components/FileVersionComponent.h"
#include "components/Registry.h"
#include "db/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zostore;
using namespace zostore::components;

namespace {

class Recorder : public Component {
public:
    Recorder() : Component(QStringLiteral("Test.Recorder")) {
        addMethod(QStringLiteral("RunReport"), 1, 2, [this](const QVariantList &a) {
            calls << a;
            return QVariant(int(a.size()));
        });
        addProperty(QStringLiteral("Isok"), [] { return QVariant(true); });
    }
    QList<QVariantList> calls;
};

} // namespace

TEST(Registry, modules_not_shipped_are_not_installed_and_say_so) {
    registerBuiltinComponents();
    for (const QString &id : {QStringLiteral("nuvo_Bill.RunBill"), QStringLiteral("nuvo_CashMan.CashBill"),
                             QStringLiteral("nuvo_PurReport.Report"), QStringLiteral("nuvo_Weight.Weight")}) {
        EXPECT_FALSE(Registry::instance().isInstalled(id));
        try {
            createObject(id);
            ADD_FAILURE() << id.toStdString() << " was created";
        } catch (const Error &e) {
            EXPECT_EQ(e.number(), Error::NotInstalled);
            EXPECT_EQ(e.description(), QStringLiteral("未安装组件 ") + id);
        }
    }
    for (const QString &id : {QStringLiteral("nuvo_Login.Login"), QStringLiteral("ZO_GETIP.GETIP"),
                             QStringLiteral("nuvo_Message.Msg"), QStringLiteral("nuvo_message.receivemsg"),
                             QStringLiteral("VnPageset.PageSet"), QStringLiteral("VnFmtGrid.FormatGrid")})
        EXPECT_NE(createObject(id), nullptr) << id.toStdString();
}

TEST(Registry, a_test_fake_hides_the_builtin_until_removed_and_members_bind_without_case) {
    registerBuiltinComponents();
    auto recorder = std::make_shared<Recorder>();
    {
        ScopedFactory fake(QStringLiteral("zo_getip.getip"), [recorder] { return recorder; });
        auto c = createObject(QStringLiteral("Zo_GetIP.GetIP"));
        EXPECT_EQ(c.get(), recorder.get());
        EXPECT_EQ(c->invoke(QStringLiteral("runreport"), {1, 2}).toInt(), 2);
        EXPECT_TRUE(c->property(QStringLiteral("ISOK")).toBool());
        EXPECT_TRUE(c->invoke(QStringLiteral("isok")).toBool());
        EXPECT_THROW(c->invoke(QStringLiteral("RunReport"), {}), Error);
        EXPECT_THROW(c->invoke(QStringLiteral("NoSuchMember"), {}), Error);
        EXPECT_THROW(c->property(QStringLiteral("NoSuchProperty")), Error);
        EXPECT_EQ(recorder->calls.size(), 1);
    }
    EXPECT_NE(dynamic_cast<FileVersionComponent *>(createObject(QStringLiteral("zo_getip.getip")).get()), nullptr);
}

TEST(FileVersion, versions_order_as_text_and_the_program_answers_with_its_own) {
    EXPECT_GT(FileVersionComponent::versionText(7, 1, 10), FileVersionComponent::versionText(7, 1, 9));
    EXPECT_GT(FileVersionComponent::versionText(7, 10, 1), FileVersionComponent::versionText(7, 9, 999));
    EXPECT_GT(FileVersionComponent::versionText(7, 1, 1), QString());
    FileVersionComponent c;
    EXPECT_EQ(c.invoke(QStringLiteral("GetFileVer"), {QStringLiteral("C:\\Program Files\\ZoStore\\nuvo_Main.exe")}),
              FileVersionComponent::programVersion());
    EXPECT_THROW(c.GetFileVer(QStringLiteral("/nonexistent/other.exe")), Error);
}

TEST(Registry, plugins_in_the_components_folder_provide_their_progids) {
    QTemporaryDir dir;
    QFile::copy(QDir(QStringLiteral(ZOSTORE_TEST_PLUGIN_DIR)).filePath(QStringLiteral("libtest_echo_plugin.so")),
                dir.filePath(QStringLiteral("libtest_echo_plugin.so")));
    QFile junk(dir.filePath(QStringLiteral("libbroken.so")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a library");
    junk.close();

    EXPECT_FALSE(Registry::instance().isInstalled(QStringLiteral("Test.Echo")));
    const QStringList failures = Registry::instance().loadPlugins(dir.path());
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].contains(QStringLiteral("libbroken.so")));
    EXPECT_EQ(createObject(QStringLiteral("test.echo"))->invoke(QStringLiteral("ECHO"), {QStringLiteral("你好")}),
              QVariant(QStringLiteral("你好")));
    Registry::instance().removeFactory(QStringLiteral("Test.Echo"));
    EXPECT_TRUE(Registry::instance().loadPlugins(dir.filePath(QStringLiteral("missing"))).isEmpty());
}
