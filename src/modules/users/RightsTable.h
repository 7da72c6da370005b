// Every grant code the program checks, grouped as the main window groups them, and the report codes.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zostore::db {
class Connection;
}

namespace zostore::modules::users {

// A leaf is one code; a node without a code only groups its children.
struct RightNode {
    QString code;
    QString caption;
    QList<RightNode> children;
};

// The fixed codes: module images, picture buttons (history and new), tools, codes checked at use.
const QList<RightNode> &fixedRights();

// The fixed codes and one node per report of ReportList, "R" + group + number, under its group.
QList<RightNode> rightsTree(db::Connection &conn);

// Every code of a tree, leaves only, in tree order.
QStringList rightCodes(const QList<RightNode> &tree);

} // namespace zostore::modules::users
