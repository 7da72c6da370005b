// The catalogue of account sets (Zo_DbList) and the databases it names.
#pragma once

#include <QList>
#include <QString>
#include <functional>

namespace zostore::db {
class Connection;
}

namespace zostore::accountdb {

struct AccountSet {
    QString name;       // FDbName, as the user knows it
    QString dbFileName; // FDbFileName, the database
};

// ZOSTORE_CATALOG, else the "Catalog" server setting, else a SQLite catalogue in the data folder.
QString defaultCatalogueString();

class Catalogue {
public:
    explicit Catalogue(const QString &catalogueString = defaultCatalogueString());

    const QString &catalogueString() const { return m_cnstr; }
    bool isSqlite() const;

    // Creates the catalogue database and Zo_DbList when missing; an existing catalogue is kept.
    void create();
    QList<AccountSet> list() const;
    // Empty name when the file is not registered.
    QString nameOf(const QString &dbFileName) const;

    // Same server and credentials as the catalogue, the account set's own database.
    QString accountConnectionString(const QString &dbFileName) const;

    // New database with the schema and the profile defaults, registered under name; returns its
    // connection string. Refusals and failures leave catalogue and server unchanged.
    QString createAccountSet(const QString &name, const QString &dbFileName,
                             const QList<int> &priceStyleIds = {1, 2, 3});
    // As above; fill adds the data before the set is registered, so a creation cut off half-way never
    // appears in the list, and what it left behind is dropped by the next creation of that database.
    using Filler = std::function<void(db::Connection &)>;
    QString createAccountSet(const QString &name, const QString &dbFileName, const Filler &fill);
    // Unregisters the set and drops its database.
    void removeAccountSet(const QString &dbFileName);

    static bool isValidDatabaseName(const QString &dbFileName);
    // Throws the message that states the naming rule.
    static void checkDatabaseName(const QString &dbFileName);

private:
    void checkNewSet(const QString &name, const QString &dbFileName) const;
    bool databaseExists(const QString &dbFileName) const;
    bool isLeftover(const QString &dbFileName) const;
    QString createAndRegister(const QString &name, const QString &dbFileName, const QList<int> &priceStyleIds,
                              const Filler &fill);
    void createDatabase(const QString &dbFileName) const;
    void dropDatabase(const QString &dbFileName) const;
    QString serverConnectionString() const;
    db::Connection openCatalogue() const;

    QString m_cnstr;
};

} // namespace zostore::accountdb
