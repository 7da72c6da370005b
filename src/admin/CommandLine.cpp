// zostore-admin's command line: commands, their arguments and options, and the shared run routine.
#include "admin/CommandLine.h"

#include "accountdb/Catalogue.h"
#include "admin/PasswordSource.h"
#include "db/MessageText.h"
#include "db/Error.h"

#include <QFile>

namespace zostore::admin {

int Invocation::number(const QString &name, int fallback) const {
    if (!options.contains(name))
        return fallback;
    bool ok = false;
    const int v = options.value(name).toInt(&ok);
    if (!ok)
        throw UsageError(QStringLiteral("选项 --%1 需要一个整数，收到“%2”。").arg(name, options.value(name)));
    return v;
}

void CommandTable::add(Command command) {
    m_commands.append(std::move(command));
}

const Command *CommandTable::find(const QString &name) const {
    for (const Command &c : m_commands)
        if (c.name == name)
            return &c;
    return nullptr;
}

namespace {

void printHelp(const CommandTable &table, QTextStream &s) {
    s << QStringLiteral("用法：zostore-admin [--catalog-file <文件> | --catalog <连接字符串>] <命令> [参数]\n")
      << QStringLiteral("Usage: zostore-admin [--catalog-file <file> | --catalog <connection string>] <command> "
                        "[arguments]\n\n")
      << QStringLiteral("帐套目录的连接字符串取自 --catalog-file 指定的文件（第一行）或 --catalog，否则取自环境变量 "
                        "ZOSTORE_CATALOG 或设置项；--catalog 写在命令行上，本机其他用户看得见其中的密码。\n")
      << QStringLiteral("带 --user 的命令先验证该用户的密码：") << passwordHelp() << '\n'
      << QStringLiteral("\n命令：\n");
    for (const Command &c : table.commands())
        s << QStringLiteral("  %1 %2\n      %3\n").arg(c.name, c.usage, c.summary);
}

bool takesPassword(const Command &cmd) {
    return cmd.valueOptions.contains(QStringLiteral("user")) ||
           cmd.flagOptions.contains(QStringLiteral("password-stdin"));
}

// The first non-empty line of the file, so the connection string stays off the command line.
QString catalogueFromFile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        throw Error(QStringLiteral("无法读取帐套目录文件“%1”：%2").arg(path, f.errorString()));
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (!line.isEmpty())
            return line;
    }
    throw Error(QStringLiteral("帐套目录文件“%1”里没有连接字符串。").arg(path));
}

Invocation parse(const Command &cmd, const QStringList &rest) {
    Invocation inv;
    for (int i = 0; i < rest.size(); ++i) {
        const QString &a = rest[i];
        if (!a.startsWith(QStringLiteral("--")) || a == QStringLiteral("--")) {
            inv.args << a;
            continue;
        }
        QString name = a.mid(2), value;
        const bool inlineValue = name.contains(QLatin1Char('='));
        if (inlineValue) {
            value = name.section(QLatin1Char('='), 1);
            name = name.section(QLatin1Char('='), 0, 0);
        }
        if (cmd.flagOptions.contains(name) || (name == QLatin1String("password-stdin") && takesPassword(cmd))) {
            if (inlineValue)
                throw UsageError(QStringLiteral("选项 --%1 不带值。").arg(name));
            inv.flags << name;
        } else if (cmd.valueOptions.contains(name)) {
            if (!inlineValue) {
                if (i + 1 >= rest.size())
                    throw UsageError(QStringLiteral("选项 --%1 缺少值。").arg(name));
                value = rest[++i];
            }
            if (inv.options.contains(name))
                throw UsageError(QStringLiteral("选项 --%1 重复。").arg(name));
            inv.options.insert(name, value);
        } else {
            throw UsageError(QStringLiteral("命令 %1 没有选项 --%2。").arg(cmd.name, name));
        }
    }
    if (inv.args.size() < cmd.minArgs)
        throw UsageError(QStringLiteral("命令 %1 的参数太少。").arg(cmd.name));
    if (inv.args.size() > cmd.maxArgs)
        throw UsageError(
            QStringLiteral("命令 %1 的参数太多：%2").arg(cmd.name, inv.args.mid(cmd.maxArgs).join(' ')));
    return inv;
}

} // namespace

int runAdmin(const CommandTable &table, const QStringList &arguments, AdminIO &io) {
    QStringList rest = arguments;
    QString catalogue, catalogueFile;
    int catalogueOptions = 0;
    const Command *cmd = nullptr;
    try {
        // --catalog and --catalog-file may stand anywhere on the line.
        for (int i = 0; i < rest.size(); ++i) {
            for (const QString &name : {QStringLiteral("catalog"), QStringLiteral("catalog-file")}) {
                QString &target = name == QLatin1String("catalog") ? catalogue : catalogueFile;
                const QString option = QStringLiteral("--") + name;
                if (rest[i] == option) {
                    if (i + 1 >= rest.size())
                        throw UsageError(name == QLatin1String("catalog")
                                             ? QStringLiteral("选项 --catalog 缺少连接字符串。")
                                             : QStringLiteral("选项 --catalog-file 缺少文件名。"));
                    target = rest[i + 1];
                    rest.remove(i, 2);
                    --i;
                    ++catalogueOptions;
                    break;
                }
                if (rest[i].startsWith(option + u'=')) {
                    target = rest[i].mid(option.size() + 1);
                    rest.remove(i--);
                    ++catalogueOptions;
                    break;
                }
            }
        }
        if (catalogueOptions > 1)
            throw UsageError(QStringLiteral("--catalog 和 --catalog-file 只能给出一个，且只能一次。"));
        for (const QString &a : rest)
            if (a == QStringLiteral("--password") || a.startsWith(QStringLiteral("--password=")))
                throw UsageError(QStringLiteral("密码不能写在命令行上（本机其他用户看得见命令行）。") +
                                 passwordHelp());
        if (rest.isEmpty() || rest.first() == QStringLiteral("help") ||
            rest.first() == QStringLiteral("--help")) {
            printHelp(table, rest.isEmpty() ? io.err : io.out);
            io.out.flush();
            io.err.flush();
            return rest.isEmpty() ? 2 : 0;
        }
        cmd = table.find(rest.first());
        if (!cmd)
            throw UsageError(QStringLiteral("未知的命令“%1”。\nUnknown command \"%1\".").arg(db::shortened(rest.first())));
        Invocation inv = parse(*cmd, rest.mid(1));
        if (!catalogueFile.isEmpty())
            catalogue = catalogueFromFile(catalogueFile);
        inv.catalogue = catalogue.isEmpty() ? accountdb::defaultCatalogueString() : catalogue;
        inv.io = &io;
        cmd->run(inv);
        io.out.flush();
        io.err.flush();
        return inv.exitCode;
    } catch (const UsageError &e) {
        io.out.flush();
        io.err << QStringLiteral("错误：") << e.message() << '\n';
        if (cmd)
            io.err << QStringLiteral("用法：zostore-admin %1 %2\n").arg(cmd->name, cmd->usage);
        else
            io.err << QStringLiteral("运行 zostore-admin help 查看全部命令。\n");
        io.err.flush();
        return 2;
    } catch (const Error &e) {
        io.out.flush();
        io.err << QStringLiteral("错误：") << e.description() << '\n';
        io.err.flush();
        return 1;
    } catch (const std::exception &e) {
        io.out.flush();
        io.err << QStringLiteral("错误：意外的内部错误（%1）。").arg(QString::fromLocal8Bit(e.what()))
               << '\n';
        io.err.flush();
        return 1;
    }
}

} // namespace zostore::admin
