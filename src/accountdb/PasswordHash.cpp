// Salted Argon2id password hashes for t_User.FPassword.
#include "accountdb/PasswordHash.h"

#include "db/Error.h"

#include <sodium.h>

#include <mutex>

namespace zostore::accountdb {

namespace {
void initSodium() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (sodium_init() < 0)
            throw Error(QStringLiteral("密码库初始化失败。"));
    });
}
} // namespace

QString hashPassword(const QString &password) {
    initSodium();
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw Error(QStringLiteral("无法生成密码摘要（内存不足）。"));
    return QString::fromLatin1(out);
}

bool verifyPassword(const QString &hash, const QString &password) {
    initSodium();
    const QByteArray h = hash.toLatin1();
    if (h.isEmpty() || h.size() >= crypto_pwhash_STRBYTES)
        return false;
    const QByteArray utf8 = password.toUtf8();
    return crypto_pwhash_str_verify(h.constData(), utf8.constData(),
                                    static_cast<unsigned long long>(utf8.size())) == 0;
}

} // namespace zostore::accountdb
