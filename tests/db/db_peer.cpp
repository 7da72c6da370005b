// Another program on the same database: opens it read-write, runs one query, prints the first value, closes.
// The connection string comes from ZOSTORE_PEER_CNSTR, so no password travels on the command line.
#include "db/Connection.h"
#include "db/Error.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    if (argc < 2) {
        QTextStream(stderr) << "用法：db_peer 查询语句\n";
        return 2;
    }
    try {
        zostore::db::Connection conn(qEnvironmentVariable("ZOSTORE_PEER_CNSTR"));
        out << conn.scalar(QString::fromLocal8Bit(argv[1])).toString() << '\n';
    } catch (const zostore::Error &e) {
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
    return 0;
}
