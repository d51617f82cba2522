// The rules a bill is stored by: product lines, colour sums, and the text
// of the INSERT of one line.
#include <QTest>
#include <stdexcept>

#include "SaleBillNumbers.h"
#include "SaleBillSave.h"

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

  void modelsAreUpperCasedInTheLatinLettersOnly() {
    QCOMPARE(salebill::UpperAZ(QStringLiteral("yjv-3×2.5ä铜")), QStringLiteral("YJV-3×2.5ä铜"));
    QCOMPARE(salebill::SqlText(QStringLiteral("a'b''")), QStringLiteral("a''b''''"));
  }
};

QTEST_MAIN(TestSaleBillSave)
#include "test_salebill_save.moc"
