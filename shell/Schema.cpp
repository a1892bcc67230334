#include "shell/Schema.h"

#include <utility>

namespace kiv {

namespace {

FieldDef field(std::string name, FieldKind kind) {
    FieldDef f;
    f.name = std::move(name);
    f.kind = kind;
    return f;
}

// The field kinds as the layout lists them. Texts compare without regard to case unless `Exact`.
FieldDef T(std::string name) {
    return field(std::move(name), FieldKind::Text);
}
FieldDef Exact(std::string name) {
    FieldDef f = field(std::move(name), FieldKind::Text);
    f.noCase = false;
    return f;
}
FieldDef D(std::string name) {
    return field(std::move(name), FieldKind::Date);
}
FieldDef B(std::string name) {
    return field(std::move(name), FieldKind::Boolean);
}
FieldDef I(std::string name) {
    return field(std::move(name), FieldKind::Integer);
}
FieldDef R(std::string name) {
    return field(std::move(name), FieldKind::Real);
}
FieldDef notNull(FieldDef f) {
    f.notNull = true;
    return f;
}
FieldDef key(FieldDef f) {
    f.primaryKey = true;
    return f;
}
FieldDef withDefault(FieldDef f, std::string sql) {
    f.defaultSql = std::move(sql);
    return f;
}

IndexDef index(std::string name, std::string table, std::vector<std::string> columns) {
    return {std::move(name), std::move(table), std::move(columns), false};
}
IndexDef unique(std::string name, std::string table, std::vector<std::string> columns) {
    return {std::move(name), std::move(table), std::move(columns), true};
}

// Every field of the report feed tables is plain text: they hold what the forms show.
TableDef plainTextTable(std::string name, std::vector<std::string> fields) {
    TableDef table{std::move(name), {}};
    for (auto& field : fields)
        table.fields.push_back(Exact(std::move(field)));
    return table;
}

TableDef vouchers() {
    return {"iof",
            {D("輸入日期"), notNull(T("單號")), T("用途說明"), notNull(I("方式")), I("金額"),
             T("科目代號"), B("pay"),           T("科目名稱"), T("附註一"),        T("附註二"),
             T("專案號碼"), T("專案名稱"),      T("工程種類"), D("發生日期"),      T("申請人"),
             T("簽收"),     B("單據"),          T("單據號碼"), I("稅額"),          B("進銷"),
             I("建議方式")}};
}

TableDef cheques() {
    return {"bill",
            {T("票據號碼"), D("開票日"), D("arDay"), D("到期日"), D("deDay"), T("開銀行"),
             T("收銀行"), T("開票人"), T("收票人"), T("開帳號"), T("收帳號"), I("金額"),
             T("新台幣"), B("收支"), notNull(T("收支單號")), withDefault(notNull(I("方式")), "0")}};
}

TableDef bankList(std::string name, std::string amountField) {
    return {std::move(name), {T("bank"), T("id"), T("user"), I(std::move(amountField))}};
}

// A receivable (ri) or payable (ro) contract and its instalments, additions and reductions.
void addContracts(Schema& schema, const std::string& p) {
    schema.tables.push_back(
        {p,
         {key(notNull(T("id"))), T("收名稱"), D("簽約日"), T("客戶名"), T("聯絡人"), T("電話"),
          T("銷貨金額"), T("稅金"), T("佣金"), T("合計"), T("備註"), T("報價單號"), T("合約單號"),
          T("專名"), T("專id"), T("w"), T("fnLet"), B("無發票"), T("Let")}});
    schema.tables.push_back({p + "期",
                             {notNull(T("id")), notNull(I("期別")), T("預付金"), D("預付日"),
                              T("佔總價比例"), D("送帳日"), T("發票號碼"), T("實收金"), D("實收日"),
                              B("現金"), T("支票號碼"), T("收支單號"), B("處理")}});
    schema.tables.push_back({p + "加",
                             {notNull(T("id")), notNull(I("期別")), T("報價單號"), T("合約單號"),
                              T("金額"), D("預付日"), D("送帳日"), T("發票號碼"), T("實收金"),
                              D("實收日"), B("現金"), T("支票號碼"), T("收支單號"), B("處理")}});
    schema.tables.push_back(
        {p + "減",
         {notNull(T("id")), notNull(I("期別")), T("報價單號"), T("合約單號"), T("金額")}});
    // Not unique: renumbering 期別 row by row passes through duplicates.
    schema.indexes.push_back(index(p + "_project", p, {"專id", "專名"}));
    schema.indexes.push_back(index(p + "_signed", p, {"簽約日"}));
    schema.indexes.push_back(index(p + "_inst_contract", p + "期", {"id", "期別"}));
    schema.indexes.push_back(index(p + "_add_contract", p + "加", {"id", "期別"}));
    schema.indexes.push_back(index(p + "_red_contract", p + "減", {"id", "期別"}));
}

Schema makeAccSchema() {
    Schema s;
    s.tables = {
        vouchers(),
        {"iofs", {notNull(T("多單號")), notNull(T("單號"))}},
        {"acc", {notNull(T("id")), B("incom"), T("acc")}},
        {"use", {I("id"), T("use")}},
        {"ps1", {I("id"), T("ps")}},
        {"ps2", {I("id"), T("ps")}},
        {"tag",
         {T("num"), D("日期"), T("序"), T("科目編號"), T("科目名稱"), T("借貸"), T("摘要"),
          T("金額")}},
        cheques(),
        {"cash", {key(I("id")), B("incom"), D("day"), I("cash"), T("memo"), T("lno"), I("bala")}},
        {"bank",
         {notNull(I("id")), notNull(T("Bid")), notNull(T("bank")), B("incom"), D("day"), I("cash"),
          T("memo"), T("lno"), I("bala")}},
        bankList("obank", "cash"),
        bankList("ibank", "cash"),
        bankList("bbank", "ps"),
        {"prj",
         {key(notNull(T("id"))), T("prj"), R("tCash"), D("stday"), D("edday"), T("cust"), T("addr"),
          T("leader"), T("designer"), T("engineer"), B("final"), D("sinDay")}},
        {"w4pj", {notNull(T("pj_id")), T("w")}},
    };
    s.indexes = {
        unique("iof_no", "iof", {"單號"}),
        index("iof_day", "iof", {"發生日期", "單號"}),
        index("iof_state", "iof", {"方式", "單號"}),
        index("iof_project", "iof", {"專案號碼", "專案名稱"}),
        index("iof_account_day", "iof", {"科目代號", "科目名稱", "發生日期"}),
        // The voucher query's lists of what a criterion can pick, each read from its index alone.
        index("iof_account_side", "iof", {"科目名稱", "科目代號", "pay"}),
        index("iof_work_type", "iof", {"工程種類"}),
        index("iof_applicant", "iof", {"申請人"}),
        index("iof_signer", "iof", {"簽收"}),
        // The project report's sums of each project's vouchers, read from this index alone.
        index("iof_project_sums", "iof", {"專案號碼", "專案名稱", "pay", "方式", "金額"}),
        index("iofs_member", "iofs", {"單號"}),
        index("iofs_group", "iofs", {"多單號", "單號"}),
        unique("acc_id", "acc", {"id"}),
        index("tag_num", "tag", {"num"}),
        unique("bill_voucher", "bill", {"收支單號"}),
        index("bill_open_due", "bill", {"方式", "收支", "到期日"}),
        index("bill_open_arday", "bill", {"方式", "收支", "arDay"}),
        index("bill_open_deday", "bill", {"方式", "收支", "deDay"}),
        index("bill_dir_due", "bill", {"收支", "到期日"}),
        index("cash_day", "cash", {"day"}),
        unique("bank_account_id", "bank", {"bank", "Bid", "id"}),
        index("bank_account_day", "bank", {"bank", "Bid", "day"}),
        index("prj_signed", "prj", {"sinDay"}),
        index("w4pj_project", "w4pj", {"pj_id"}),
        index("w4pj_type", "w4pj", {"w"}),
    };
    addContracts(s, "ri");
    addContracts(s, "ro");
    return s;
}

// Taiwan's counties and cities with their telephone area codes, north to south down the west
// side, then the east coast and the islands, as the usual lists run.
const char* const counties[][2] = {
    {"基隆市", "02"},  {"臺北市", "02"},   {"新北市", "02"}, {"桃園市", "03"},  {"新竹市", "03"},
    {"新竹縣", "03"},  {"苗栗縣", "037"},  {"臺中市", "04"}, {"彰化縣", "04"},  {"南投縣", "049"},
    {"雲林縣", "05"},  {"嘉義市", "05"},   {"嘉義縣", "05"}, {"臺南市", "06"},  {"高雄市", "07"},
    {"屏東縣", "08"},  {"宜蘭縣", "03"},   {"花蓮縣", "03"}, {"臺東縣", "089"}, {"澎湖縣", "06"},
    {"金門縣", "082"}, {"連江縣", "0836"},
};

std::string countyRows() {
    std::string sql = "INSERT INTO 縣市 (id, 縣市, 區碼) VALUES ";
    int id = 0;
    for (const auto& county : counties) {
        ++id;
        sql += (id == 1 ? "(" : ", (") + std::to_string(id) + ", '" + county[0] + "', '" +
               county[1] + "')";
    }
    return sql;
}

const std::vector<std::string> companyFields = {"co_name", "co_add", "co_tel",
                                                "co_fax",  "co_no",  "co_email"};

Schema makePeopleSchema() {
    Schema s;
    s.tables = {
        {"員工", {T("員工編號"),       notNull(T("中文姓名")),
                  T("英文姓名"),       T("部門"),
                  T("身分字號"),       T("地址"),
                  T("郵遞區號"),       T("電子郵件"),
                  T("住家電話"),       T("行動電話"),
                  T("生日"),           T("僱用日期"),
                  T("薪水"),           T("緊急連絡人姓名"),
                  T("緊急連絡人電話"), T("備註"),
                  T("權限"),           Exact("pass"),
                  T("職稱"),           withDefault(I("AccS"), "1")}},
        {"super", {key(notNull(Exact("super_id"))), Exact("super_pass")}},
        {"客戶", {T("客戶編號"), T("客戶名稱"), T("施工地址"), T("連絡人"), T("電話1")}},
        {"廠商", {T("廠商編號"), T("廠商名稱"), T("連絡人"), T("電話1")}},
        {"縣市", {I("id"), T("縣市"), T("區碼")}},
        {"種", {I("t_id"), T("t")}},
        {"t2w", {T("t"), T("w")}},
        plainTextTable("company", companyFields),
    };
    s.indexes = {
        unique("staff_name", "員工", {"中文姓名"}),
        index("staff_login", "員工", {"英文姓名"}),
        index("staff_no", "員工", {"員工編號", "中文姓名"}),
        index("customer_no", "客戶", {"客戶編號"}),
        index("customer_name", "客戶", {"客戶名稱"}),
        index("vendor_no", "廠商", {"廠商編號"}),
        index("vendor_name", "廠商", {"廠商名稱"}),
        index("t2w_type", "t2w", {"t"}),
    };
    // The company row must exist: the program edits it and never adds it.
    s.creationStatements = {"INSERT INTO company VALUES ('', '', '', '', '', '')", countyRows()};
    return s;
}

const std::vector<std::string> chequeListFields = {"票據號碼", "開票日期", "收支單號",
                                                   "用途說明", "處理情況", "到期日"};

std::vector<std::string> chequeList(const std::string& dayField, const std::string& personField,
                                    bool withDueOrder) {
    auto fields = chequeListFields;
    fields.insert(fields.end(), {dayField, personField, "金額", "銀行帳號"});
    // The due date as ISO text, for the summaries to order by: the shown ROC text does not sort.
    if (withDueOrder) fields.push_back("到期日序");
    return fields;
}

std::string chequeSummaryView(const std::string& view, const std::string& table) {
    return "CREATE VIEW " + view +
           " AS SELECT 到期日序 AS 到期日, 銀行帳號 AS 銀行, 處理情況 AS 處理 FROM " + table +
           " GROUP BY 到期日序, 銀行帳號, 處理情況 ORDER BY 到期日序, 銀行帳號, 處理情況";
}

Schema makePrintSchema() {
    auto companyWithTitle = companyFields;
    companyWithTitle.push_back("ion");
    Schema s;
    s.tables = {
        plainTextTable("company", companyWithTitle),
        plainTextTable("ptios", {"輸入日期", "單號",     "建議方式", "用途說明", "專案號碼",
                                 "專案名稱", "工程種類", "科目代號", "收支",     "科目名稱",
                                 "金額",     "附註一",   "附註二",   "申請人",   "簽收",
                                 "發生日期", "單據號碼", "稅額",     "進銷",     "大寫金額"}),
        plainTextTable("ptio", {"發生日期", "收支單號", "科目", "用途說明", "收入", "支出", "餘額",
                                "專案名稱", "申請人", "簽收人", "附註一", "附註二"}),
        plainTextTable(
            "pt", {"開銀行", "開帳號", "開票日", "到期日", "收票人", "票據號碼", "金額", "新台幣"}),
        plainTextTable("bo", chequeList("提醒日", "收票人", false)),
        plainTextTable("bi", chequeList("可用日", "開票人", false)),
        plainTextTable("bop", chequeList("提醒日", "收票人", true)),
        plainTextTable("bip", chequeList("可用日", "開票人", true)),
        plainTextTable("seday", {"期間"}),
    };
    // The voucher print reads its title from `ion`; Null means the default title.
    s.creationStatements = {"INSERT INTO company VALUES ('', '', '', '', '', '', NULL)",
                            chequeSummaryView("biSum", "bip"), chequeSummaryView("boSum", "bop")};
    return s;
}

}  // namespace

const Schema& accSchema() {
    static const Schema schema = makeAccSchema();
    return schema;
}

const Schema& peopleSchema() {
    static const Schema schema = makePeopleSchema();
    return schema;
}

const Schema& printSchema() {
    static const Schema schema = makePrintSchema();
    return schema;
}

}  // namespace kiv
