#include "components/export/SheetReader.h"

#include "db/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QXmlStreamReader>
#include <minizip/unzip.h>

namespace zostore::components::sheet {

namespace {

Error unreadable(const QString &path, const QString &why) {
    return Error(QStringLiteral("无法读取文件 %1：%2")
                     .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), why));
}

class Zip {
public:
    explicit Zip(const QString &path) : m_path(path), m_zip(unzOpen64(QFile::encodeName(path).constData())) {}
    ~Zip() {
        if (m_zip)
            unzClose(m_zip);
    }
    Zip(const Zip &) = delete;
    Zip &operator=(const Zip &) = delete;
    bool isOpen() const { return m_zip != nullptr; }

    QByteArray entry(const QString &name, bool required = true) {
        if (unzLocateFile(m_zip, name.toUtf8().constData(), 1) != UNZ_OK) {
            if (required)
                throw unreadable(m_path,
                                 QStringLiteral("不是 Excel 2007 以后的 .xlsx 文件（缺少 %1）。").arg(name));
            return {};
        }
        if (unzOpenCurrentFile(m_zip) != UNZ_OK)
            throw unreadable(m_path, QStringLiteral("无法解压 %1。").arg(name));
        QByteArray out;
        char buf[65536];
        int n = 0;
        while ((n = unzReadCurrentFile(m_zip, buf, sizeof buf)) > 0)
            out.append(buf, n);
        // Closing checks the entry's CRC, so a damaged file is told, not half read.
        if (unzCloseCurrentFile(m_zip) != UNZ_OK || n < 0)
            throw unreadable(m_path, QStringLiteral("%1 已损坏。").arg(name));
        return out;
    }

private:
    QString m_path;
    unzFile m_zip;
};

// The text of an element and its descendants' <t> runs, skipping phonetic hints.
QString runsText(QXmlStreamReader &x) {
    QString text;
    const QString end = x.name().toString();
    int depthInPhonetic = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == QLatin1String("rPh"))
            ++depthInPhonetic;
        else if (x.isEndElement() && x.name() == QLatin1String("rPh"))
            --depthInPhonetic;
        else if (x.isStartElement() && x.name() == QLatin1String("t") && depthInPhonetic == 0)
            text += x.readElementText();
        else if (x.isEndElement() && x.name() == end)
            break;
    }
    return text;
}

int columnOf(QStringView ref) {
    int col = 0;
    for (QChar c : ref) {
        if (c < QLatin1Char('A') || c > QLatin1Char('Z'))
            break;
        col = col * 26 + (c.unicode() - 'A' + 1);
    }
    return col - 1;
}

int rowOf(QStringView ref) {
    qsizetype i = 0;
    while (i < ref.size() && ref[i].isLetter())
        ++i;
    return ref.mid(i).toInt() - 1;
}

QString numberText(const QString &v) {
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? QString::number(d, 'g', 15) : v;
}

QString firstSheetPath(Zip &zip, const QString &path) {
    QString rid;
    {
        QXmlStreamReader x(zip.entry(QStringLiteral("xl/workbook.xml")));
        while (!x.atEnd() && rid.isEmpty())
            if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("sheet"))
                for (const auto &a : x.attributes())
                    if (a.name() == QLatin1String("id"))
                        rid = a.value().toString();
    }
    QXmlStreamReader x(zip.entry(QStringLiteral("xl/_rels/workbook.xml.rels")));
    while (!x.atEnd())
        if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("Relationship") &&
            x.attributes().value(QLatin1String("Id")) == rid) {
            const QString target = x.attributes().value(QLatin1String("Target")).toString();
            return target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
        }
    throw unreadable(path, QStringLiteral("文件中没有工作表。"));
}

} // namespace

QList<QStringList> readXlsx(const QString &path) {
    Zip zip(path);
    if (!zip.isOpen())
        throw unreadable(path, QFile::exists(path) ? QStringLiteral("不是 .xlsx 文件。")
                                                   : QStringLiteral("文件不存在。"));
    QStringList shared;
    {
        QXmlStreamReader x(zip.entry(QStringLiteral("xl/sharedStrings.xml"), false));
        while (!x.atEnd())
            if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("si"))
                shared << runsText(x);
    }
    QList<QStringList> rows;
    QXmlStreamReader x(zip.entry(firstSheetPath(zip, path)));
    int row = -1, col = -1;
    QString type;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement())
            continue;
        if (x.name() == QLatin1String("row")) {
            const auto r = x.attributes().value(QLatin1String("r"));
            row = r.isEmpty() ? row + 1 : r.toInt() - 1;
            col = -1;
        } else if (x.name() == QLatin1String("c")) {
            const auto ref = x.attributes().value(QLatin1String("r"));
            col = ref.isEmpty() ? col + 1 : columnOf(ref);
            if (!ref.isEmpty())
                row = rowOf(ref);
            type = x.attributes().value(QLatin1String("t")).toString();
            QString text;
            while (!x.atEnd()) {
                x.readNext();
                if (x.isEndElement() && x.name() == QLatin1String("c"))
                    break;
                if (!x.isStartElement())
                    continue;
                if (x.name() == QLatin1String("is")) {
                    text = runsText(x);
                } else if (x.name() == QLatin1String("v")) {
                    const QString v = x.readElementText();
                    if (type == QLatin1String("s")) {
                        const int i = v.toInt();
                        text = i >= 0 && i < shared.size() ? shared[i] : QString();
                    } else if (type.isEmpty() || type == QLatin1String("n")) {
                        text = numberText(v);
                    } else if (type == QLatin1String("b")) {
                        text = v == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
                    } else {
                        text = v;
                    }
                }
            }
            if (row < 0 || col < 0 || text.isEmpty())
                continue;
            while (rows.size() <= row)
                rows.append(QStringList());
            QStringList &cells = rows[row];
            while (cells.size() <= col)
                cells.append(QString());
            cells[col] = text;
        }
    }
    if (x.hasError())
        throw unreadable(path, x.errorString());
    return rows;
}

QList<QStringList> readCsv(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw unreadable(path, f.exists() ? f.errorString() : QStringLiteral("文件不存在。"));
    QString text = QString::fromUtf8(f.readAll());
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false, any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                cell += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == u'"') {
            quoted = true;
            any = true;
        } else if (c == u',') {
            row << cell;
            cell.clear();
            any = true;
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            if (any || !cell.isEmpty())
                row << cell;
            rows << row;
            row.clear();
            cell.clear();
            any = false;
        } else {
            cell += c;
        }
    }
    if (any || !cell.isEmpty()) {
        row << cell;
        rows << row;
    }
    return rows;
}

QList<QStringList> readSheet(const QString &path) {
    return path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) ? readCsv(path) : readXlsx(path);
}

} // namespace zostore::components::sheet
