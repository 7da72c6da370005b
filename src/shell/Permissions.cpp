// Grant rows are read forward once per routine; only a granting row ever shows or enables anything.
#include "shell/Permissions.h"

#include "db/Connection.h"

#include <QHash>
#include <QStringList>

namespace zostore::shell {
namespace {

struct ModuleGrants {
    QStringList queried;       // codes the module's query reads
    QHash<QString, int> shows; // code -> button it shows
    QList<int> alwaysBefore;   // shown before the rows are read
    QList<int> alwaysAfter;    // shown after the rows are read
    bool ordered = true;
};

ModuleGrants moduleGrants(int module) {
    auto pairs = [](std::initializer_list<std::pair<const char *, int>> list) {
        QHash<QString, int> h;
        for (const auto &[code, button] : list)
            h.insert(QString::fromLatin1(code), button);
        return h;
    };
    switch (module) {
    case 1:
        return {QStringList{"101", "111", "121", "131", "141", "102", "112", "122", "132", "142", "191",
                            "161", "162"},
                pairs({{"101", 1},
                       {"102", 1},
                       {"111", 2},
                       {"112", 2},
                       {"141", 3},
                       {"142", 3},
                       {"131", 4},
                       {"132", 4},
                       {"121", 5},
                       {"122", 5},
                       {"191", 6}}),
                {},
                {},
                false};
    case 2:
        return {QStringList{"151", "908", "910", "922", "917"},
                pairs({{"151", 1}, {"910", 2}, {"908", 3}, {"922", 5}, {"917", 6}}),
                {},
                {4, 7},
                true};
    case 3:
        return {QStringList{"301", "302", "311", "312", "321", "322", "331", "332", "391", "392", "393"},
                pairs({{"391", 1},
                       {"392", 2},
                       {"393", 3},
                       {"321", 4},
                       {"322", 4},
                       {"331", 5},
                       {"332", 5},
                       {"301", 6},
                       {"302", 6},
                       {"311", 7},
                       {"312", 7}}),
                {},
                {},
                true};
    case 4:
        return {QStringList{"401", "411", "421", "431", "441", "451", "461", "471", "402", "412", "422",
                            "432", "442", "452", "462", "472"},
                pairs({{"401", 1},
                       {"402", 1},
                       {"451", 2},
                       {"452", 2},
                       {"411", 3},
                       {"412", 3},
                       {"421", 4},
                       {"422", 4},
                       {"431", 5},
                       {"432", 5},
                       {"441", 6},
                       {"442", 6},
                       {"461", 7},
                       {"462", 7},
                       {"471", 8},
                       {"472", 8}}),
                {},
                {},
                true};
    case 5:
        return {QStringList{"702", "706"}, pairs({{"702", 3}, {"706", 4}}), {1, 2}, {}, true};
    default:
        return {};
    }
}

QString placeholders(int n) {
    QStringList marks;
    for (int i = 0; i < n; ++i)
        marks << QStringLiteral("?");
    return marks.join(QLatin1Char(','));
}

QVariantList codesThenUser(const QStringList &codes, qint32 userId) {
    QVariantList params;
    params << QVariant(userId);
    for (const QString &c : codes)
        params << c;
    return params;
}

} // namespace

Permissions::Permissions(QString cnstr, qint32 userId, bool isManager)
    : m_cnstr(std::move(cnstr)), m_userId(userId), m_isManager(isManager) {}

std::array<bool, ModuleCount> Permissions::moduleImages() const {
    std::array<bool, ModuleCount> shown{false, false, false, false, true};
    if (m_isManager) {
        shown.fill(true);
        return shown;
    }
    db::Connection conn(m_cnstr);
    db::Recordset rs =
        conn.open(QStringLiteral("select FSubSystemID,FGrant from t_Grant where FSubSystemID "
                                 "in ('181','281','381','481') and FUserID=? order by FSubSystemID"),
                  {m_userId}, db::Cursor::Forward);
    for (; !rs.eof(); rs.moveNext()) {
        const QString code = rs.text(QStringLiteral("FSubSystemID")).trimmed();
        if (!rs.toBool(QStringLiteral("FGrant")))
            continue;
        if (code.size() == 3 && code.endsWith(QLatin1String("81")) && code[0] >= QLatin1Char('1') &&
            code[0] <= QLatin1Char('4'))
            shown[code[0].digitValue() - 1] = true;
    }
    return shown;
}

std::array<bool, ButtonSlots> Permissions::moduleButtons(int module) const {
    std::array<bool, ButtonSlots> shown{};
    if (module < 1 || module > ModuleCount)
        return shown;
    const int n = ModuleButtonCount[module - 1];
    if (m_isManager) {
        for (int i = 0; i < n; ++i)
            shown[i] = true;
        return shown;
    }
    const ModuleGrants g = moduleGrants(module);
    for (int b : g.alwaysBefore)
        shown[b - 1] = true;
    db::Connection conn(m_cnstr);
    const QString sql =
        QStringLiteral("select FSubSystemID,FGrant from t_grant where FUserID=? and FSubSystemID in (") +
        placeholders(int(g.queried.size())) + QLatin1Char(')') +
        (g.ordered ? QStringLiteral(" order by fsubsystemid") : QString());
    db::Recordset rs = conn.open(sql, codesThenUser(g.queried, m_userId), db::Cursor::Forward);
    for (; !rs.eof(); rs.moveNext()) {
        const auto it = g.shows.constFind(rs.text(QStringLiteral("FSubSystemID")).trimmed());
        if (it != g.shows.constEnd() && rs.toBool(QStringLiteral("FGrant")))
            shown[it.value() - 1] = true;
    }
    for (int b : g.alwaysAfter)
        shown[b - 1] = true;
    return shown;
}

SystemMenuState Permissions::systemMenu(int currentYear, int currentPeriod, int startYear,
                                        int startPeriod) const {
    SystemMenuState state;
    bool initAllowed = m_isManager;
    state.tools.fill(m_isManager);
    if (!m_isManager) {
        const QStringList codes{"708", "711", "712", "709", "725", "293", "298", "717", "710"};
        db::Connection conn(m_cnstr);
        db::Recordset rs =
            conn.open(QStringLiteral("select FSubSystemID,FGrant from t_Grant where FUserID=? and "
                                     "FSubSystemID in (") +
                          placeholders(int(codes.size())) + QLatin1Char(')'),
                      codesThenUser(codes, m_userId), db::Cursor::Forward);
        for (; !rs.eof(); rs.moveNext()) {
            if (!rs.toBool(QStringLiteral("FGrant")))
                continue;
            const QString code = rs.text(QStringLiteral("FSubSystemID")).trimmed();
            if (code == QLatin1String("708")) {
                for (int i = 0; i < 6; ++i)
                    state.tools[i] = true;
                initAllowed = true;
            } else if (code == QLatin1String("711")) {
                state.tools[6] = true;
            } else if (code == QLatin1String("712")) {
                state.tools[7] = true;
            } else if (code == QLatin1String("709")) {
                state.tools[8] = true;
            } else if (code == QLatin1String("717")) {
                state.tools[9] = true;
            }
        }
    }
    state.mnuInit = isStartMonth(currentYear, currentPeriod, startYear, startPeriod) && initAllowed;
    return state;
}

bool Permissions::isStartMonth(int currentYear, int currentPeriod, int startYear, int startPeriod) {
    // 16-bit arithmetic, as the month indexes have always been computed
    const qint16 current = qint16(currentYear * 12 + currentPeriod);
    const qint16 start = qint16(startYear * 12 + startPeriod);
    return current == start;
}

} // namespace zostore::shell
