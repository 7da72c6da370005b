#include "counter/PluExport.h"

#include "db/Error.h"
#include "db/MessageText.h"
#include "ui/Grid.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace zostore::counter {

namespace {

int priceColumn(const ui::Grid &grid) {
    for (int c = 0; c < grid.cols(); ++c)
        if (grid.textMatrix(0, c) == QStringLiteral("零售价"))
            return c;
    return 0;
}

// A name the scale cannot show would come out as question marks; say so instead. The converters are opened once
// per file: opening one per line costs more than the encoding itself.
QByteArray toGbk(QStringEncoder &encode, QStringDecoder &decode, const QString &line, const QString &itemName) {
    const QByteArray bytes = encode(line);
    if (encode.hasError() || QString(decode(bytes)) != line)
        throw Error(QStringLiteral("商品“%1”的资料里有 GBK 编码不能表示的字符，请改正后再导出。")
                        .arg(db::shortened(itemName)));
    return bytes;
}

} // namespace

QString pluNumber(const QString &shopNumber) { return shopNumber.right(5); }

QByteArray pluFileContent(const ui::Grid &grid, const QString &leadingChars) {
    const int number = grid.colIndex(QStringLiteral("FNumber"));
    const int shop = grid.colIndex(QStringLiteral("FShopNumber"));
    const int name = grid.colIndex(QStringLiteral("FName"));
    if (number < 0 || shop < 0 || name < 0)
        throw Error(QStringLiteral("标签表格缺少商品编码、店内码或品名列。"));
    const int price = priceColumn(grid);
    QStringEncoder encode("GBK");
    QStringDecoder decode("GBK");
    if (!encode.isValid() || !decode.isValid())
        throw Error(QStringLiteral("本机不支持 GBK 编码，不能导出寺冈称文件。"));
    QByteArray out;
    for (int r = 1; r < grid.rows(); ++r) {
        if (grid.textMatrix(r, number).isEmpty())
            break;
        const QString plu = pluNumber(grid.textMatrix(r, shop));
        const QString itemName = grid.textMatrix(r, name);
        const QString line = plu + QLatin1Char(',') + itemName + QLatin1Char(',') + grid.textMatrix(r, price) +
                             QStringLiteral(",1,") + leadingChars + plu + QStringLiteral(",30,01,1,2\r\n");
        out += toGbk(encode, decode, line, itemName);
    }
    return out;
}

int writePluFile(const QString &path, const ui::Grid &grid, const QString &leadingChars) {
    // Encoded in full first, so a name that cannot be written leaves no file behind.
    const QByteArray content = pluFileContent(grid, leadingChars);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error(QStringLiteral("不能写入文件 %1：%2").arg(path, file.errorString()));
    if (file.write(content) != content.size())
        throw Error(QStringLiteral("写入文件 %1 没有完成：%2").arg(path, file.errorString()));
    file.close();
    return int(content.count('\n'));
}

} // namespace zostore::counter
