// Main window load: manager flag, system profile, formats.
#include "startup/MainWindowLoad.h"

#include "components/FileVersionComponent.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "startup/LoginContext.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace zostore::startup {

void MainWindowLoad::prepare() {
    m_state.firstActivate = true;
    m_state.versionLabel = QStringLiteral("当前版本：") + components::FileVersionComponent::programVersionLabel();
}

void MainWindowLoad::readManagerFlag() {
    LoginContext &ctx = loginContext();
    db::Connection conn(ctx.cnstr());
    db::Recordset rs = conn.open(QStringLiteral("select FManager from t_User where FUserID=?"), {ctx.userId()});
    if (rs.eof())
        throw Error(QStringLiteral("操作员（编号 %1）在用户表中不存在。").arg(ctx.userId()));
    ctx.setIsManager(rs.toBool(rs.fieldName(0)));
}

void MainWindowLoad::readProfile() {
    LoginContext &ctx = loginContext();
    db::Connection conn(ctx.cnstr());
    db::Recordset rs = conn.open(QStringLiteral("select * from t_systemprofile"));
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const QString key = rs.text(QStringLiteral("FKey")).toLower();
        const QString value = rs.text(QStringLiteral("FValue"));
        if (key == QLatin1String("currentyear")) {
            ctx.setCurrentPeriod(toInt16(leadingNumber(value), key), ctx.currentPeriod());
        } else if (key == QLatin1String("currentperiod")) {
            ctx.setCurrentPeriod(ctx.currentYear(), toInt16(leadingNumber(value), key));
        } else if (key == QLatin1String("startyear")) {
            ctx.setStartPeriod(toInt16(leadingNumber(value), key), ctx.startPeriod());
        } else if (key == QLatin1String("startperiod")) {
            ctx.setStartPeriod(ctx.startYear(), toInt16(leadingNumber(value), key));
        } else if (key == QLatin1String("closed")) {
            bool ok = false;
            const double v = value.trimmed().toDouble(&ok);
            m_state.initClosed = ok && v == 1.0;
        } else if (key == QLatin1String("birthday_actiondays")) {
            const QString trimmed = value.trimmed();
            bool ok = trimmed.isEmpty();
            const double v = ok ? 0.0 : trimmed.toDouble(&ok);
            if (!ok)
                throw Error(QStringLiteral("系统参数 BirthDay_ActionDays 的值不是数字：") + value);
            m_state.birthdayDays = toInt16(v, key);
        } else if (key == QLatin1String("showaction")) {
            m_state.showActionAtStart = value == QLatin1String("1");
        }
    }
}

void MainWindowLoad::applyRegionalFormats() {
    // Dates and times are formatted by the program's own "yyyy-MM-dd" and "HH:mm:ss" patterns; numbers keep
    // "." as the decimal point with the leading zero and no group separator.
    QLocale locale(QLocale::Chinese, QLocale::China);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(locale);
}

double MainWindowLoad::leadingNumber(const QString &text) {
    static const QRegularExpression number(QStringLiteral(R"(^\s*([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?))"));
    const QRegularExpressionMatch m = number.match(text);
    return m.hasMatch() ? m.captured(1).toDouble() : 0.0;
}

qint16 MainWindowLoad::toInt16(double value, const QString &what) {
    const double rounded = std::nearbyint(value); // the default rounding mode rounds half to even
    if (!std::isfinite(rounded) || rounded < -32768.0 || rounded > 32767.0)
        throw Error(QStringLiteral("系统参数 %1 的值 %2 超出范围（-32768～32767）。").arg(what).arg(value));
    return static_cast<qint16>(rounded);
}

} // namespace zostore::startup
