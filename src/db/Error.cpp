// Error: description and number carried together.
#include "db/Error.h"

namespace zostore {

Error::Error(QString description, int number, std::source_location where)
    : std::runtime_error(description.toStdString()), m_number(number), m_description(std::move(description)),
      m_where(where) {}

QString Error::where() const {
    return QStringLiteral("%1:%2").arg(QString::fromUtf8(m_where.file_name())).arg(m_where.line());
}

bool Error::isLock() const noexcept { return m_description.contains(QStringLiteral("锁")); }

Error Error::accessDenied() { return Error(QStringLiteral("访问被拒绝！"), AccessDenied); }

} // namespace zostore
