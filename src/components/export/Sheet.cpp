#include "components/export/Sheet.h"

#include "db/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>

#include <xlsxwriter.h>

namespace zostore::components::sheet {

namespace {

QString writeFailure(const QString &path, const QString &why) {
    return QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(path), why);
}

// Excel's sheet names: at most 31 characters, none of []:*?/\.
QString sheetName(const QString &title) {
    QString n = title;
    static const QRegularExpression bad(QStringLiteral("[\\[\\]:*?/\\\\]"));
    n.replace(bad, QStringLiteral("_"));
    n = n.left(31).trimmed();
    return n.isEmpty() ? QStringLiteral("Sheet1") : n;
}

// Twips to Excel's character widths (a character of the default font is about 7 pixels at 96 dpi).
double excelWidth(int twips) {
    return twips / 15.0 / 7.0;
}

QString numberFormat(int decimals, bool grouped) {
    QString f = grouped ? QStringLiteral("#,##0") : QStringLiteral("0");
    if (decimals > 0)
        f += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    return f;
}

QString csvField(const QString &s) {
    if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"')) && !s.contains(QLatin1Char('\n')) &&
        !s.contains(QLatin1Char('\r')))
        return s;
    QString q = s;
    q.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

class Workbook {
public:
    explicit Workbook(const QString &path) : m_path(path.toLocal8Bit()) {
        m_wb = workbook_new(m_path.constData());
    }
    ~Workbook() {
        if (m_wb)
            workbook_close(m_wb);
    }
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;
    lxw_workbook *get() const { return m_wb; }
    lxw_error close() {
        const lxw_error e = workbook_close(m_wb);
        m_wb = nullptr;
        return e;
    }

private:
    QByteArray m_path;
    lxw_workbook *m_wb = nullptr;
};

} // namespace

bool parseNumber(const QString &text, double &value, int &decimals, bool &grouped) {
    static const QRegularExpression re(
        QStringLiteral("^-?(0|[1-9]\\d{0,2}(,\\d{3})+|[1-9]\\d*)(\\.(\\d+))?$"));
    const QString t = text.trimmed();
    const auto m = re.match(t);
    if (!m.hasMatch())
        return false;
    grouped = !m.captured(2).isEmpty();
    decimals = int(m.captured(4).size());
    bool ok = false;
    value = QString(t).remove(QLatin1Char(',')).toDouble(&ok);
    return ok;
}

void writeXlsx(const Sheet &sheet, const QString &path) {
    const QFileInfo target(path);
    const QString temp = target.absolutePath() + QStringLiteral("/.~") + target.fileName();
    QFile::remove(temp);
    {
        Workbook wb(temp);
        if (!wb.get())
            throw Error(writeFailure(path, QStringLiteral("文件夹不存在或没有写入权限。")));
        lxw_worksheet *ws = workbook_add_worksheet(wb.get(), sheetName(sheet.title).toUtf8().constData());
        lxw_format *head = workbook_add_format(wb.get());
        format_set_bold(head);
        format_set_align(head, LXW_ALIGN_CENTER);
        format_set_align(head, LXW_ALIGN_VERTICAL_CENTER);
        format_set_border(head, LXW_BORDER_THIN);
        format_set_bg_color(head, 0xE8E8E8);
        QHash<QString, lxw_format *> formats;
        auto numberFmt = [&](int decimals, bool grouped) {
            const QString f = numberFormat(std::min(decimals, 10), grouped);
            auto it = formats.find(f);
            if (it == formats.end()) {
                lxw_format *fmt = workbook_add_format(wb.get());
                format_set_num_format(fmt, f.toUtf8().constData());
                it = formats.insert(f, fmt);
            }
            return it.value();
        };
        const int cols = sheet.columns();
        for (int c = 0; c < cols; ++c) {
            const int w = sheet.widthsTwips.value(c);
            if (w > 0)
                worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), excelWidth(w), nullptr);
        }
        QList<QList<bool>> merged(sheet.header.size(), QList<bool>(cols, false));
        for (const HeaderSpan &s : headerSpans(sheet.header)) {
            worksheet_merge_range(ws, lxw_row_t(s.firstRow), lxw_col_t(s.firstCol), lxw_row_t(s.lastRow),
                                  lxw_col_t(s.lastCol),
                                  sheet.header.at(s.firstRow).value(s.firstCol).toUtf8().constData(), head);
            for (int r = s.firstRow; r <= s.lastRow; ++r)
                for (int c = s.firstCol; c <= s.lastCol; ++c)
                    merged[r][c] = true;
        }
        for (int r = 0; r < sheet.header.size(); ++r)
            for (int c = 0; c < cols; ++c)
                if (!merged.at(r).at(c))
                    worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c),
                                           sheet.header.at(r).value(c).toUtf8().constData(), head);
        lxw_row_t row = lxw_row_t(sheet.header.size());
        for (const QStringList &cells : sheet.rows) {
            for (int c = 0; c < cols; ++c) {
                const QString t = cells.value(c);
                if (t.isEmpty())
                    continue;
                double v = 0;
                int decimals = 0;
                bool grouped = false;
                if (sheet.numeric.value(c) && parseNumber(t, v, decimals, grouped))
                    worksheet_write_number(ws, row, lxw_col_t(c), v, numberFmt(decimals, grouped));
                else
                    worksheet_write_string(ws, row, lxw_col_t(c), t.toUtf8().constData(), nullptr);
            }
            ++row;
        }
        const lxw_error e = wb.close();
        if (e != LXW_NO_ERROR) {
            QFile::remove(temp);
            throw Error(writeFailure(path, QString::fromUtf8(lxw_strerror(e))));
        }
    }
    if (QFile::exists(path) && !QFile::remove(path)) {
        QFile::remove(temp);
        throw Error(writeFailure(path, QStringLiteral("原文件正被使用或不能替换。")));
    }
    if (!QFile::rename(temp, path)) {
        QFile::remove(temp);
        throw Error(writeFailure(path, QStringLiteral("不能在该文件夹中建立文件。")));
    }
}

void writeCsv(const Sheet &sheet, const QString &path) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw Error(writeFailure(path, f.errorString()));
    QByteArray out("\xEF\xBB\xBF");
    auto line = [&](const QStringList &cells) {
        QStringList fields;
        for (int c = 0; c < sheet.columns(); ++c)
            fields << csvField(cells.value(c));
        out += fields.join(QLatin1Char(',')).toUtf8();
        out += "\r\n";
    };
    for (const QStringList &h : sheet.header)
        line(h);
    for (const QStringList &r : sheet.rows)
        line(r);
    f.write(out);
    if (!f.commit())
        throw Error(writeFailure(path, f.errorString()));
}

void writeSheet(const Sheet &sheet, const QString &path) {
    if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        writeCsv(sheet, path);
    else
        writeXlsx(sheet, path);
}

} // namespace zostore::components::sheet
