// The rules a bill is stored by (product lines, colour sums), the text of
// the INSERT of one line and the other statements of the bill window.
#include <QTest>
#include <stdexcept>

#include "SaleBillNumbers.h"
#include "SaleBillSave.h"
#include "SaleBillSql.h"

using salebill::InsertLineSql;
using salebill::IsProductLine;
using salebill::QuantityMatchesColours;

class TestSaleBillSave : public QObject {
  Q_OBJECT

 private slots:
  void productLinesFollowTheParameter() {
    struct Case {
      const char* mode;
      const char* name;
      const char* model;
      const char* spec;
      bool counts;
    };
    const Case kCases[] = {
        {"1", "", "YJV", "", true},       {"1", "", "", "3*2.5", true},   {"1", "电缆", "", "", false},
        {"2", "", "YJV", "", false},      {"2", "", "YJV", "3*2.5", true}, {"2", "", " ", "3*2.5", false},
        {"3", "电缆", "", "", true},      {"3", " ", " ", " ", false},    {"3", "", "", "4", true},
        {"0", "电缆", "YJV", "4", false}, {"", "电缆", "YJV", "4", false},
    };
    for (const Case& c : kCases) {
      QCOMPARE(IsProductLine(QString::fromLatin1(c.mode), QString::fromUtf8(c.name), QString::fromUtf8(c.model),
                             QString::fromUtf8(c.spec)),
               c.counts);
    }
  }

  void quantityIsComparedWithItsColours() {
    const QStringList none(10, QString());
    auto colours = [](std::initializer_list<const char*> values) {
      QStringList list(10, QString());
      int i = 0;
      for (const char* v : values) list[i++] = QString::fromLatin1(v);
      return list;
    };
    QCOMPARE(QuantityMatchesColours(QStringLiteral("10"), none, QStringLiteral("0.00")), std::optional<bool>(false));
    QCOMPARE(QuantityMatchesColours(QString(), none, QStringLiteral("0.00")), std::optional<bool>(true));
    QCOMPARE(QuantityMatchesColours(QStringLiteral("0.25"), colours({"0.125", "0.125"}), QStringLiteral("0.00")),
             std::optional<bool>(true));
    QCOMPARE(QuantityMatchesColours(QStringLiteral("0.13"), colours({"0.126"}), QStringLiteral("0.00")),
             std::optional<bool>(false));
    QCOMPARE(QuantityMatchesColours(QStringLiteral("0.30"), colours({"0.1", "0.2"}), QStringLiteral("0.00")),
             std::optional<bool>(true));
    QCOMPARE(QuantityMatchesColours(QStringLiteral("12"), colours({"5", "", "7"}), QStringLiteral("0")),
             std::optional<bool>(true));
    QVERIFY(!QuantityMatchesColours(QStringLiteral("x"), none, QStringLiteral("0")).has_value());
  }

  void insertTextQuotesEveryValueOnItsOwnLine() {
    QStringList values;
    for (int i = 1; i <= salebill::kInsertValueCount; ++i) values << QString::number(i);
    values[4] = QStringLiteral("O'Brien's");  // fcs
    values[20] = QString();                   // fcolor empty
    const QString sql = InsertLineSql(values);
    const QString head = QStringLiteral(
        " insert into cqsalebill(FInterID,FEntryID,fbillno,FDate,fcs,\r fcontractno,faddress,fchepai,fzhidan,"
        "fjingshou,fyewuyuan,fmemo,\r fbianma,Fname,fxinghao,fguige,fqty,funit,fprice,famount,fcolor,fpack,"
        "FC01,FC02,FC03,FC04,FC05,FC06,FC07,FC08,FC09,FC10,ffukuan,fdescription)Values(\r'");
    QVERIFY(sql.startsWith(head));
    QVERIFY(sql.endsWith(QStringLiteral("',\r'34'\r)")));
    const QString body = sql.mid(head.size() - 1, sql.size() - head.size() - 1);
    const QStringList lines = body.split(QLatin1Char('\r'));
    QCOMPARE(lines.size(), salebill::kInsertValueCount);
    QCOMPARE(lines[0], QStringLiteral("'1',"));
    QCOMPARE(lines[4], QStringLiteral("'O''Brien''s',"));
    QCOMPARE(lines[20], QStringLiteral("'',"));
    QCOMPARE(lines[33], QStringLiteral("'34'"));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, InsertLineSql(values.mid(1)));
  }

  void listStatementsFollowTheColumnSource() {
    struct Case {
      int col;
      const char* source;
      const char* model;
      const char* sql;
      const char* field;
    };
    const Case kCases[] = {
        {4, "1", "", "select distinct(fname) as fname from cqproduct order by fname", "fname"},
        {4, "2", "", "select distinct(fname) as fname from cqsalebill order by fname", "fname"},
        {5, "1", "", "select distinct(fxinghao) as fxinghao from cqproduct order by fxinghao", "fxinghao"},
        {5, "2", "", "select distinct(fxinghao) as fxinghao from cqsalebill order by fxinghao", "fxinghao"},
        {6, "1", " yjv ", "select distinct(fguige) as fguige from cqproduct where upper(fxinghao)='YJV' order by FModelID",
         "fguige"},
        {6, "2", "yjv", "select distinct(fguige) as fguige from cqsalebill where upper(fxinghao)='YJV' order by fguige",
         "fguige"},
        {6, "1", "VV'22", "select distinct(fguige) as fguige from cqproduct where upper(fxinghao)='VV''22' order by FModelID",
         "fguige"},
        {6, "1", "  ", "", ""},
        {7, "2", "", "select * from cqColor order by FItemID", "FName"},
        {8, "1", "", "select * from cqPack order by FItemID", "FName"},
        {10, "1", "", "select * from cqUnit order by FItemID", "FName"},
        {9, "1", "", "", ""},
    };
    for (const Case& c : kCases) {
      const salebill::ListQuery list =
          salebill::ColumnListQuery(c.col, QString::fromLatin1(c.source), QString::fromLatin1(c.model));
      QCOMPARE(list.sql, QString::fromUtf8(c.sql));
      QCOMPARE(list.field, QString::fromLatin1(c.field));
    }
  }

  void statementsEscapeWhatTheUserTyped() {
    QCOMPARE(salebill::AddressListQuery(QStringLiteral(" O'Neil 五金 ")).sql,
             QStringLiteral("select distinct(faddress) as faddress from cqsalebill where fcs='O''Neil 五金' and faddress<>''"));
    QCOMPARE(salebill::PriceHistorySql(QStringLiteral("yjv"), QStringLiteral("3*2.5'")),
             QStringLiteral("select distinct(fdate),fprice,fcs from cqsalebill where upper(fxinghao)='YJV' and "
                            "upper(fguige)='3*2.5''' order by fdate desc"));
    QCOMPARE(salebill::BillNoCondition(QStringLiteral(" xs0042 "), QStringLiteral("0")),
             QStringLiteral(" where Upper(FBillNo)='XS0042'"));
    QCOMPARE(salebill::BillNoCondition(QStringLiteral("xs'1"), QStringLiteral("17")),
             QStringLiteral(" where Upper(FBillNo)='XS''1' and FInterID<>17"));
    QCOMPARE(salebill::DeleteBillSql(QStringLiteral("17")), QStringLiteral("delete from cqsalebill where FInterID=17"));
    QCOMPARE(salebill::DeleteBillSql(QStringLiteral("1 or 1=1")), QStringLiteral("delete from cqsalebill where FInterID=0"));
    QCOMPARE(salebill::LoadBillSql(QStringLiteral("3")),
             QStringLiteral("select * from cqsalebill where FInterID=3 order by fentryid asc "));
    QCOMPARE(salebill::CounterUpdateSql(QStringLiteral("43")),
             QStringLiteral("update pisysparameter set fparameter='43' where FName='单据编号'"));
    QCOMPARE(salebill::BarcodeSql(QStringLiteral("69'01")),
             QStringLiteral("select FModelID from cqproduct where ftiaoma='69''01'"));
    QCOMPARE(salebill::ProductSql(42), QStringLiteral("select * from cqproduct where FModelID=42"));
  }

  void modelsAreUpperCasedInTheLatinLettersOnly() {
    QCOMPARE(salebill::UpperAZ(QStringLiteral("yjv-3×2.5ä铜")), QStringLiteral("YJV-3×2.5ä铜"));
    QCOMPARE(salebill::SqlText(QStringLiteral("a'b''")), QStringLiteral("a''b''''"));
  }
};

QTEST_MAIN(TestSaleBillSave)
#include "test_salebill_save.moc"
