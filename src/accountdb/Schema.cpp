// The account set's tables, defined once and emitted as DDL for either backend.
//
// Tables and the columns beyond the ones every window names, and why they exist:
//   t_ItemGroup        item groups (FItemID, FNumber, FName, FParentID): the group tree lists them and
//                      t_ICItem.FParentID points at one. Groups are not rows of t_ICItem so that item
//                      lists, limits and costing never see them.
//   t_ICItem           FBrand, FOrigin, FShelfLife: the extra item fields captioned in t_ItemDetail;
//                      FPrice_<n>: one sale price per price style, added by addPriceStyleColumn.
//   t_Supplier, t_Organization, t_Emp: FPhone, FAddress for the member and partner modules.
//   Vip                FCardNo, FJf (points), FCreateDate: the member card behind FVipID; FBalance (stored
//                      value), FExpiryDate, FState (0 in use, 1 disabled, 2 reported lost), FDel: a member
//                      that bills or movements name is kept, marked, for them.
//   VipMove            every change of a member's points or stored value, with who, when and why, and
//                      both balances after it, so a card's history reads without summing.
//   ICStockBill        FInStockID: the receiving store of receipts and transfers, so stock per store
//                      can be summed; FEmpID: the salesman; FBillerID: who made the bill (the closing
//                      procedure makes automatic issue bills in a user's name).
//   ICOrder            FRemark, FDeleted for the order module.
//   ICStockBillEntry   FStockID is not kept: the store of a line is its bill's store.
//                      FSourceInterID, FSourceEntryID: the order line a receipt line fills, so editing or
//                      deleting the receipt gives the order its open quantity back. Bills of type 9
//                      (transfer requests) move no stock: no movement list names them.
//   t_User             FName (login and display name), FPassword (Argon2id hash), FDescription;
//                      FDisabled: a user who made bills keeps his row for them but can no longer log in.
//   t_Message          the messages component's store; the status bar counts unread rows.
//   t_GridLayout, t_PageSetup: the grid-format and page-setup services keep their layouts here.
//   TDBill             FContent: the format definition the label list prints; FLayout: a designed
//                      layout, of a label format (type 51) or of a bill kind's print format, kept
//                      apart from FContent.
//   t_ClosePeriodLog, t_ClosePeriodBal: the month-end closing keeps its undo records here, so that
//                      reopening restores exactly what the closing replaced; a log row with
//                      FInterID 0 marks the month as closed, so only a closed month can be reopened.
//   icstockbal         the month openings per item and store; per item they add up to icbal. An opening
//                      that no store row accounts for (sets made before openings had a store) counts as
//                      store 0, "no store", as do bills whose store is empty.
//   ICInventory        today's quantity per store and item: the current month's openings and every bill
//                      of that month and later, kept by each writer of bills in its own transaction, so a
//                      store's stock is one keyed read. Values are not kept: costing revalues the lines.
//   t_ClosePeriodStockBal: per-store rows of t_ClosePeriodBal.
//   ICPdFreeze, ICPdEntry: a stock count of one store, its book quantities frozen at FDate and the
//                      counted ones (FCounted 1 once entered); FState 1 when its gain and loss bills
//                      (FGainInterID, FLossInterID) were made.
//   t_WLBegBal         a partner's balance brought forward when history clearing deletes the bills that
//                      made it (FOrgaType 1 supplier, 2 customer; see HistoryClearing.cpp for the signs).
//   t_AccountIdentity  one random id per account set, so a backup is never restored over another set.
// Indexes follow the statements: bills by month and type and by date, entries by item, balances by
// month and item, grants by user and code, limits by store and item, orders by due date.
#include "accountdb/Schema.h"

#include "accountdb/StorageParameters.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/PostgresShims.h"
#include "db/Transaction.h"

namespace zostore::accountdb {

namespace {

Column col(const char *name, ColType type, int size = 0, bool notNull = false, const char *def = "") {
    return Column{QString::fromLatin1(name), type, size, notNull, QString::fromLatin1(def)};
}
Column integer(const char *name, const char *def = "") {
    return col(name, ColType::Integer, 0, false, def);
}
Column key(const char *name) {
    return col(name, ColType::Integer, 0, true);
}
Column money(const char *name, const char *def = "") {
    return col(name, ColType::Money, 0, false, def);
}
Column qty(const char *name, const char *def = "") {
    return col(name, ColType::Quantity, 0, false, def);
}
Column vc(const char *name, int size, bool notNull = false) {
    return col(name, ColType::VarChar, size, notNull);
}
Column text(const char *name) {
    return col(name, ColType::Text);
}
Column stamp(const char *name) {
    return col(name, ColType::Timestamp);
}

QStringList cols(std::initializer_list<const char *> names) {
    QStringList out;
    for (const char *n : names)
        out << QString::fromLatin1(n);
    return out;
}
Index idx(const char *name, const char *columns, bool unique = false) {
    return Index{QString::fromLatin1(name), QString::fromLatin1(columns), unique};
}

QList<TableDef> buildTables() {
    QList<TableDef> t;
    t.append({QStringLiteral("t_systemprofile"),
              {vc("FKey", 100, true), text("FValue"), vc("FDescription", 255), stamp("FEditTime")},
              {},
              {idx("ix_systemprofile_key", "lower(FKey)", true)}});
    t.append({QStringLiteral("t_User"),
              {key("FUserID"), vc("FName", 80, true), vc("FPassword", 255), integer("FManager", "0"),
               integer("FDisabledViewOrgaGroupID"), vc("FDescription", 255), integer("FDisabled", "0")},
              cols({"FUserID"}),
              {idx("ix_user_name", "FName", true)}});
    t.append({QStringLiteral("t_Grant"),
              {key("FUserID"), vc("FSubSystemID", 20, true), integer("FGrant")},
              cols({"FUserID", "FSubSystemID"}),
              {}});
    t.append({QStringLiteral("ReportList"),
              {key("FGroupID"), key("FReportID"), integer("FType", "0"), vc("FReportName", 100)},
              cols({"FGroupID", "FReportID"}),
              {}});
    t.append({QStringLiteral("t_ItemGroup"),
              {key("FItemID"), vc("FNumber", 50, true), vc("FName", 100, true), integer("FParentID", "0")},
              cols({"FItemID"}),
              {idx("ix_itemgroup_number", "FNumber", true)}});
    t.append(
        {QStringLiteral("t_ICItem"),
         {key("FItemID"),          vc("FNumber", 50, true), vc("FName", 100, true),    vc("FModel", 100),
          vc("FUnit", 20),         qty("FExchange", "1"),   integer("FParentID", "0"), integer("FDel", "0"),
          money("FPurPrice", "0"), money("FPjCost", "0"),   qty("FMinStock"),          qty("FMaxStock"),
          qty("FSafeStock"),       vc("FShopNumber", 50),   vc("FQuickNum", 50),       vc("FBar_Code", 50),
          stamp("FJjEditDate"),    stamp("FSjEditDate"),    vc("FBrand", 50),          vc("FOrigin", 100),
          integer("FShelfLife")},
         cols({"FItemID"}),
         {idx("ix_icitem_number", "FNumber", true), idx("ix_icitem_barcode", "FBar_Code"),
          idx("ix_icitem_parent", "FParentID"), idx("ix_icitem_quicknum", "FQuickNum")}});
    t.append({QStringLiteral("t_ItemDetail"),
              {key("FItemClassID"), key("FFieldID"), vc("FFieldName", 50, true), vc("FFieldDesc", 100),
               integer("FSystem", "0")},
              cols({"FItemClassID", "FFieldID"}),
              {}});
    t.append({QStringLiteral("t_icitem_barcode"),
              {key("FItemID"), vc("FBarCode", 50, true), integer("FPriceStyleID"), money("FPrice"),
               qty("FExchange", "1")},
              cols({"FItemID", "FBarCode"}),
              {idx("ix_icitem_barcode_code", "FBarCode")}});
    t.append({QStringLiteral("t_Stock"),
              {key("FItemID"), vc("FNumber", 50, true), vc("FName", 80, true), integer("FVirtual", "0"),
               integer("FPriceStyleID")},
              cols({"FItemID"}),
              {idx("ix_stock_number", "FNumber", true)}});
    t.append({QStringLiteral("t_PriceStyle"),
              {key("FItemID"), vc("FNumber", 50, true), vc("FName", 80, true)},
              cols({"FItemID"}),
              {}});
    for (const char *partner : {"t_Supplier", "t_Organization"})
        t.append({QString::fromLatin1(partner),
                  {key("FItemID"), vc("FNumber", 50, true), vc("FName", 100, true), vc("FPhone", 30),
                   vc("FAddress", 200)},
                  cols({"FItemID"}),
                  {}});
    t.append({QStringLiteral("t_Emp"),
              {key("FItemID"), vc("FNumber", 50), vc("FName", 80, true), vc("FPhone", 30)},
              cols({"FItemID"}),
              {}});
    t.append({QStringLiteral("Vip"),
              {key("FVipID"), vc("FCardNo", 30), vc("FOwner", 80), vc("FPhone", 30), stamp("fbirthdate"),
               qty("FJf", "0"), stamp("FCreateDate"), money("FBalance", "0"), stamp("FExpiryDate"),
               integer("FState", "0"), integer("FDel", "0")},
              cols({"FVipID"}),
              {idx("ix_vip_card", "FCardNo", true)}});
    t.append({QStringLiteral("VipMove"),
              {col("FID", ColType::Identity), key("FVipID"), col("FDate", ColType::Timestamp, 0, true),
               key("FType"), qty("FJf", "0"), money("FAmount", "0"), qty("FJfAfter", "0"),
               money("FBalanceAfter", "0"), integer("FUserID"), vc("FReason", 255)},
              cols({"FID"}),
              {idx("ix_vipmove_vip", "FVipID,FID")}});
    t.append({QStringLiteral("ICStockBill"),
              {key("FInterID"), vc("FBillNo", 50, true), col("FDate", ColType::Timestamp, 0, true),
               integer("FYear"), integer("FPeriod"), key("FTranType"), integer("FDeleted", "0"),
               integer("FOrgaID"), integer("FOutStockID"), integer("FInStockID"), integer("FVipID"),
               integer("FEmpID"), integer("FBillerID"), vc("FRemark", 255), money("FSumAmount", "0"),
               money("FSumCost", "0"), money("FSumProfit", "0")},
              cols({"FInterID"}),
              {idx("ix_stockbill_period", "FYear,FPeriod,FTranType"), idx("ix_stockbill_date", "FDate"),
               idx("ix_stockbill_vip", "FVipID")}});
    t.append({QStringLiteral("ICStockBillEntry"),
              {key("FInterID"), key("FEntryID"), key("FItemID"), qty("FQty", "0"), qty("FMainQty", "0"),
               money("FPrice", "0"), money("FAmount", "0"), money("FUnitCost", "0"), money("FCost", "0"),
               integer("FPreSend", "0"), integer("FSourceInterID", "0"), integer("FSourceEntryID", "0")},
              cols({"FInterID", "FEntryID"}),
              {idx("ix_stockbillentry_item", "FItemID")}});
    t.append({QStringLiteral("ICOrder"),
              {key("FInterID"), vc("FBillNo", 50, true), col("FDate", ColType::Timestamp, 0, true),
               integer("FOrgaID"), integer("FSalerID"), vc("FRemark", 255), integer("FDeleted", "0")},
              cols({"FInterID"}),
              {}});
    t.append({QStringLiteral("ICOrderEntry"),
              {key("FInterID"), key("FEntryID"), key("FItemID"), qty("FQty", "0"), qty("FCompleteQty", "0"),
               money("FPrice", "0"), stamp("FJhDate"), integer("FCancelAction", "0")},
              cols({"FInterID", "FEntryID"}),
              {idx("ix_orderentry_due", "FJhDate")}});
    t.append({QStringLiteral("icbal"),
              {key("FItemID"), key("FYear"), key("FPeriod"), qty("FBegQty", "0"), money("FBegPrice", "0"),
               money("FBegBal", "0")},
              cols({"FYear", "FPeriod", "FItemID"}),
              {}});
    t.append({QStringLiteral("icstockbal"),
              {key("FYear"), key("FPeriod"), key("FItemID"), key("FStockID"), qty("FBegQty", "0"),
               money("FBegBal", "0")},
              cols({"FYear", "FPeriod", "FItemID", "FStockID"}),
              {}});
    t.append({QStringLiteral("ICInventory"),
              {key("FStockID"), key("FItemID"), qty("FQty", "0")},
              cols({"FStockID", "FItemID"}),
              {}});
    t.append({QStringLiteral("ICPdFreeze"),
              {key("FPdID"), key("FStockID"), stamp("FDate"), integer("FUserID"), integer("FState", "0"),
               integer("FGainInterID", "0"), integer("FLossInterID", "0")},
              cols({"FPdID"}),
              {}});
    t.append({QStringLiteral("ICPdEntry"),
              {key("FPdID"), key("FItemID"), qty("FBookQty", "0"), qty("FCountQty", "0"), integer("FCounted", "0")},
              cols({"FPdID", "FItemID"}),
              {}});
    t.append({QStringLiteral("ICSafeStock"),
              {key("FStockID"), key("FItemID"), qty("FMin", "0"), qty("FMax", "0"), qty("FSafe", "0")},
              cols({"FStockID", "FItemID"}),
              {}});
    t.append({QStringLiteral("PosQtZkSet"),
              {key("FStockID"), col("FFromDate", ColType::Timestamp, 0, true),
               col("FToDate", ColType::Timestamp, 0, true), key("FEntryID"), integer("FItemID"),
               vc("FBarCode", 50), vc("FFromNumber", 50), qty("FZkRate", "0"), money("FPrice", "0"),
               money("FRetailPrice", "0"), qty("FSaleQty", "0"), qty("FVipQty", "0"), qty("FMExchange", "1")},
              cols({"FStockID", "FFromDate", "FToDate", "FEntryID"}),
              {}});
    t.append({QStringLiteral("TDPosBill"),
              {vc("FStockName", 80, true), text("FConText"), integer("FHdrRows"), integer("FTableHdrRows"),
               integer("FBdyRows"), integer("FItemNameLen"), integer("FBarCodeLen"), integer("FAmountLen"),
               integer("FJdRowHeight"), text("FCmdText_beg"), text("FCmdText_end"), stamp("FEditTime")},
              cols({"FStockName"}),
              {}});
    t.append({QStringLiteral("tdvariant"),
              {key("ftrantype"), vc("fvarname", 50, true), vc("FVarCaption", 100)},
              cols({"ftrantype", "fvarname"}),
              {}});
    t.append({QStringLiteral("TDBill"),
              {vc("FTDBillName", 100, true), integer("FSelected", "0"), key("FTranType"), text("FContent"),
               text("FLayout")},
              cols({"FTranType", "FTDBillName"}),
              {}});
    t.append({QStringLiteral("VipJfRate"), {stamp("FFromDate"), stamp("FToDate"), qty("FJfRate")}, {}, {}});
    t.append({QStringLiteral("VipJfToAmount"), {qty("FJf"), money("FAmount")}, {}, {}});
    t.append({QStringLiteral("t_Message"),
              {col("FMsgID", ColType::Identity), integer("FFromUserID"), integer("FToUserID"),
               vc("FTitle", 255), text("FContent"), stamp("FSendTime"), integer("FRead", "0")},
              cols({"FMsgID"}),
              {idx("ix_message_to", "FToUserID,FRead")}});
    t.append({QStringLiteral("t_GridLayout"),
              {vc("FLayoutKey", 100, true), key("FUserID"), key("FColIndex"), integer("FWidth"),
               integer("FHidden", "0")},
              cols({"FLayoutKey", "FUserID", "FColIndex"}),
              {}});
    t.append({QStringLiteral("t_PageSetup"),
              {vc("FLayoutKey", 100, true), key("FUserID"), vc("FPageSize", 20), integer("FOrientation"),
               col("FMarginLeft", ColType::Real), col("FMarginTop", ColType::Real),
               col("FMarginRight", ColType::Real), col("FMarginBottom", ColType::Real)},
              cols({"FLayoutKey", "FUserID"}),
              {}});
    t.append({QStringLiteral("t_ClosePeriodLog"),
              {key("FYear"), key("FPeriod"), key("FInterID")},
              cols({"FYear", "FPeriod", "FInterID"}),
              {}});
    t.append({QStringLiteral("t_ClosePeriodBal"),
              {key("FCloseYear"), key("FClosePeriod"), key("FItemID"), integer("FYear"), integer("FPeriod"),
               qty("FBegQty"), money("FBegPrice"), money("FBegBal")},
              {},
              {}});
    t.append({QStringLiteral("t_ClosePeriodStockBal"),
              {key("FCloseYear"), key("FClosePeriod"), key("FItemID"), key("FStockID"), integer("FYear"),
               integer("FPeriod"), qty("FBegQty"), money("FBegBal")},
              {},
              {}});
    t.append({QStringLiteral("t_WLBegBal"),
              {key("FOrgaType"), key("FOrgaID"), money("FAmount", "0")},
              cols({"FOrgaType", "FOrgaID"}),
              {}});
    t.append({QStringLiteral("t_AccountIdentity"), {vc("FIdentity", 64, true)}, cols({"FIdentity"}), {}});
    return t;
}

QString typeName(const Column &c, bool postgres) {
    switch (c.type) {
    case ColType::Integer:
        return QStringLiteral("integer");
    case ColType::Identity:
        return postgres ? QStringLiteral("integer generated by default as identity")
                        : QStringLiteral("integer");
    case ColType::Money:
    case ColType::Quantity:
        return postgres ? QStringLiteral("numeric(19,4)") : QStringLiteral("real");
    case ColType::Real:
        return postgres ? QStringLiteral("double precision") : QStringLiteral("real");
    case ColType::VarChar:
        return postgres ? QStringLiteral("varchar(%1)").arg(c.size) : QStringLiteral("text");
    case ColType::Text:
        return QStringLiteral("text");
    case ColType::Timestamp:
        return postgres ? QStringLiteral("timestamp") : QStringLiteral("text");
    }
    return {};
}

} // namespace

const Column *TableDef::column(const QString &n) const {
    for (const Column &c : columns)
        if (c.name.compare(n, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

const QList<TableDef> &accountTables() {
    static const QList<TableDef> tables = buildTables();
    return tables;
}

const TableDef *findTable(const QString &name) {
    for (const TableDef &t : accountTables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QString columnDefinition(const Column &c, bool postgres) {
    QString def = c.name + QLatin1Char(' ') + typeName(c, postgres);
    if (c.notNull)
        def += QStringLiteral(" not null");
    if (!c.defaultValue.isEmpty())
        def += QStringLiteral(" default ") + c.defaultValue;
    return def;
}

QStringList createTableStatements(const TableDef &table, bool postgres) {
    QStringList parts;
    const bool sqliteIdentity = !postgres && table.primaryKey.size() == 1 &&
                                table.column(table.primaryKey.first()) &&
                                table.column(table.primaryKey.first())->type == ColType::Identity;
    for (const Column &c : table.columns) {
        if (sqliteIdentity && c.type == ColType::Identity)
            parts << c.name + QStringLiteral(" integer primary key autoincrement");
        else
            parts << columnDefinition(c, postgres);
    }
    if (!table.primaryKey.isEmpty() && !sqliteIdentity)
        parts << QStringLiteral("primary key (%1)").arg(table.primaryKey.join(QLatin1Char(',')));
    QStringList out;
    out << QStringLiteral("create table %1 (%2)").arg(table.name, parts.join(QStringLiteral(", ")));
    for (const Index &i : table.indexes)
        out << QStringLiteral("create %1index %2 on %3 (%4)")
                   .arg(i.unique ? QStringLiteral("unique ") : QString(), i.name, table.name, i.columns);
    return out;
}

QString priceColumnName(int priceStyleId) {
    return QStringLiteral("FPrice_%1").arg(priceStyleId);
}

bool hasColumn(db::Connection &conn, const QString &table, const QString &column) {
    if (conn.isSqlite()) {
        db::Recordset rs = conn.open(QStringLiteral("select name from pragma_table_info(?)"), {table});
        for (; !rs.eof(); rs.moveNext())
            if (rs.text(QStringLiteral("name")).compare(column, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }
    return conn.scalar(
                   QStringLiteral(
                       "select count(*) from information_schema.columns where table_schema=current_schema() "
                       "and table_name=? and column_name=?"),
                   {table.toLower(), column.toLower()})
               .toInt() > 0;
}

void addPriceStyleColumn(db::Connection &conn, int priceStyleId) {
    if (priceStyleId <= 0)
        throw Error(QStringLiteral("价格类型编号无效：%1").arg(priceStyleId));
    if (hasColumn(conn, QStringLiteral("t_ICItem"), priceColumnName(priceStyleId)))
        return;
    // The name is built from an integer only, never from text input.
    const Column price{priceColumnName(priceStyleId), ColType::Money, 0, false, QStringLiteral("0")};
    conn.execute(QStringLiteral("alter table t_ICItem add column ") +
                 columnDefinition(price, conn.isPostgres()));
}

bool hasTable(db::Connection &conn, const QString &table) {
    if (conn.isSqlite())
        return conn.scalar(QStringLiteral("select count(*) from sqlite_master where type='table' and "
                                          "lower(name)=lower(?)"),
                           {table})
                   .toInt() > 0;
    return conn.scalar(QStringLiteral("select count(*) from information_schema.tables where "
                                      "table_schema=current_schema() and table_name=?"),
                       {table.toLower()})
               .toInt() > 0;
}

void ensureTable(db::Connection &conn, const QString &table) {
    const TableDef *def = findTable(table);
    if (!def)
        throw Error(QStringLiteral("帐套中没有定义表 %1").arg(table));
    if (hasTable(conn, def->name))
        return;
    for (const QString &s : createTableStatements(*def, conn.isPostgres()))
        conn.execute(s);
}

void createAccountSchema(db::Connection &conn, const QList<int> &priceStyleIds) {
    db::Transaction tx(conn);
    if (conn.isPostgres())
        for (const QString &s : db::postgresShimStatements())
            conn.execute(s);
    for (const TableDef &t : accountTables())
        for (const QString &s : createTableStatements(t, conn.isPostgres()))
            conn.execute(s);
    for (int id : priceStyleIds)
        addPriceStyleColumn(conn, id);
    applyStorageParameters(conn);
    tx.commit();
}

} // namespace zostore::accountdb
