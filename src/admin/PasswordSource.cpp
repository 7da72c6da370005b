// Where a batch command's passwords come from: an environment variable, standard input or a terminal.
#include "admin/PasswordSource.h"

#include "db/MessageText.h"
#include "db/Error.h"

#include <sodium.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>

namespace zostore::admin {

namespace {

QString trimmedLine(QString line) {
    while (line.endsWith(QLatin1Char('\r')) || line.endsWith(QLatin1Char('\n')))
        line.chop(1);
    return line;
}

// Echo stays off only while the answer is typed, and comes back when the user breaks off.
termios savedTerminal;
volatile std::sig_atomic_t echoHidden = 0;

extern "C" void restoreEchoAndStop(int sig) {
    if (echoHidden)
        tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

class HiddenEcho {
public:
    HiddenEcho() {
        if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &savedTerminal) != 0)
            return;
        termios quiet = savedTerminal;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        m_int = std::signal(SIGINT, restoreEchoAndStop);
        m_term = std::signal(SIGTERM, restoreEchoAndStop);
        echoHidden = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
        m_active = true;
    }
    ~HiddenEcho() {
        if (!m_active)
            return;
        if (echoHidden)
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
        echoHidden = 0;
        std::signal(SIGINT, m_int);
        std::signal(SIGTERM, m_term);
    }
    HiddenEcho(const HiddenEcho &) = delete;
    HiddenEcho &operator=(const HiddenEcho &) = delete;

private:
    bool m_active = false;
    void (*m_int)(int) = SIG_DFL;
    void (*m_term)(int) = SIG_DFL;
};

std::optional<QString> ask(const Invocation &inv, const QString &prompt) {
    inv.io->out.flush();
    inv.io->err << prompt;
    inv.io->err.flush();
    QString line;
    {
        HiddenEcho hidden;
        line = inv.io->in.readLine();
    }
    inv.io->err << '\n';
    inv.io->err.flush();
    if (line.isNull())
        return std::nullopt;
    return trimmedLine(line);
}

QString stdinLine(const Invocation &inv, const QString &whose) {
    const QString line = inv.io->in.readLine();
    if (line.isNull())
        throw UsageError(QStringLiteral("--password-stdin：标准输入里没有%1的密码（每个密码一行）。").arg(whose));
    const QString password = trimmedLine(line);
    if (password.isEmpty())
        throw Error(QStringLiteral("%1的密码不能为空。").arg(whose));
    return password;
}

bool fromStdin(const Invocation &inv) { return inv.flag(QStringLiteral("password-stdin")); }

std::optional<QString> takeEnvironmentPassword(const Invocation &inv) {
    const QString env = qEnvironmentVariable(PasswordVariable);
    if (env.isEmpty() || inv.environmentPasswordTaken)
        return std::nullopt;
    inv.environmentPasswordTaken = true;
    return env;
}

} // namespace

QString loginPassword(const Invocation &inv, const QString &user) {
    const QString whose = QStringLiteral("用户“%1”").arg(db::shortened(user));
    if (const auto env = takeEnvironmentPassword(inv))
        return *env;
    if (fromStdin(inv))
        return stdinLine(inv, whose);
    if (inv.io->terminal) {
        const auto answer = ask(inv, QStringLiteral("%1的密码：").arg(whose));
        if (answer && !answer->isEmpty())
            return *answer;
    }
    throw UsageError(QStringLiteral("需要%1的密码：%2").arg(whose, passwordHelp()));
}

std::optional<QString> newPassword(const Invocation &inv, const QString &whose, bool allowEmptyAnswer) {
    if (fromStdin(inv))
        return stdinLine(inv, whose);
    if (const auto env = takeEnvironmentPassword(inv))
        return env;
    if (!inv.io->terminal)
        return std::nullopt;
    const auto first = ask(inv, allowEmptyAnswer ? QStringLiteral("%1的新密码（直接回车则随机生成）：").arg(whose)
                                                 : QStringLiteral("%1的新密码：").arg(whose));
    if (!first)
        return std::nullopt;
    if (first->isEmpty()) {
        if (allowEmptyAnswer)
            return std::nullopt;
        throw Error(QStringLiteral("%1的密码不能为空。").arg(whose));
    }
    if (ask(inv, QStringLiteral("再输入一次：")) != first)
        throw Error(QStringLiteral("两次输入的新密码不一致！"));
    return first;
}

QString randomPassword() {
    if (sodium_init() < 0)
        throw Error(QStringLiteral("密码库初始化失败。"));
    // No look-alike characters, so it can be read off a screen and typed in.
    static const char alphabet[] = "abcdefghjkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789";
    QString password;
    for (int i = 0; i < 16; ++i)
        password += QLatin1Char(alphabet[randombytes_uniform(sizeof alphabet - 1)]);
    return password;
}

QString passwordHelp() {
    return QStringLiteral("请设置环境变量 ZOSTORE_PASSWORD，或加 --password-stdin 从标准输入读一行，"
                          "或在终端上运行以便输入（密码不能写在命令行上）。");
}

} // namespace zostore::admin
