// The settings window on a fresh copy of the initial database: what it
// shows, what it saves, what 退出 leaves alone, the clearing buttons and
// the date format button.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "LocaleSettings.h"
#include "ShellWindowsDatabase.h"
#include "TestSupport.h"
#include "UNISYSSETTING.h"
#include "uniFunction.h"

using velmor::test::MessageAnswers;

namespace {

const char* const kSavedNames[] = {
    "单价精度",     "数量精度",       "默认客户",         "显示大写", "启用条码功能",   "销售单列取数来自",
    "产品重复处理方式", "名称型号规格", "打印时自动保存", "保存成功是否提示", "条形码最短长度", "是否空表格补齐",
    "是否严格要求颜色数量字段之和等于总数量",
};

QStringList SavedRows(shelltest::ShellDatabase& db) {
  QStringList rows;
  for (const char* name : kSavedNames) rows << db.Parameter(QString::fromUtf8(name));
  return rows;
}

QStringList SavedFields() {
  const TSysParas& p = SysParas;
  return {p.PriceDecimals,   p.QtyDecimals,    p.DefaultCustomer, p.ShowCapitals,     p.BarcodeEnabled,
          p.SaleColumnSource, p.DuplicateProductMode, p.NameModelSpec, p.AutoSaveOnPrint, p.PromptOnSave,
          p.BarcodeMinLength, p.FillEmptyRows, p.StrictColourSum};
}

// Sets every control away from the initial database's values.
void ChangeEveryControl(TFRMSYSSETTING& form) {
  form.edpriceround->setValue(2);
  form.edqtyround->setValue(0);
  form.edtiaomaqty->setValue(7);
  form.cbtiaomastart->setChecked(true);
  form.eddefaultcs->setText(QStringLiteral("  O'Neil 五金  "));
  form.cbshowdaxie->setChecked(false);
  form.rbxsd->setChecked(true);
  form.rballowrepeat->setChecked(true);
  form.rbxg3->setChecked(true);
  form.rbnotautosave->setChecked(true);
  form.rbnosavehint->setChecked(true);
  form.cbIfPrintSpace->setChecked(false);
  form.rbbpd->setChecked(true);
}

}  // namespace

class TestSettings : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // The date format setting goes to a folder of this run, not the user's.
    static QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  }

  void showsTheParametersOnThreePages() {
    OPEN_SHELL_DATABASE(db);
    SysParas.PriceDecimals = QStringLiteral("0.000");
    SysParas.QtyDecimals = QStringLiteral("0");
    SysParas.SaleColumnSource = QStringLiteral("2");
    SysParas.NameModelSpec = QStringLiteral("9");  // none of the values: the design state stays
    SysParas.StrictColourSum = QStringLiteral("0");
    SysParas.BarcodeMinLength = QStringLiteral("6");
    TFRMSYSSETTING form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.size(), QSize(430, 287));
    QCOMPARE(form.windowTitle(), QStringLiteral("系统设置"));
    QCOMPARE(form.pc->count(), 3);
    QCOMPARE(form.pc->currentWidget(), form.tssyspara);
    QCOMPARE(form.edpriceround->value(), 3);
    QCOMPARE(form.edqtyround->value(), 0);
    QCOMPARE(form.edtiaomaqty->value(), 6);
    QVERIFY(form.rbxsd->isChecked());
    QVERIFY(form.rbxg1->isChecked());
    QVERIFY(form.rbbpd->isChecked());
    QCOMPARE(form.edusername->text(), SysParas.UserName);
    QCOMPARE(form.ldateformathint->text(), QStringLiteral("现在日期格式为") + velmor::GetShortDateFormat());
    velmor::test::SaveScreenshot(&form, QStringLiteral("syspara"));
    form.pc->setCurrentWidget(form.tslogin);
    velmor::test::SaveScreenshot(&form, QStringLiteral("login"));
    form.pc->setCurrentWidget(form.tschushihua);
    velmor::test::SaveScreenshot(&form, QStringLiteral("chushihua"));
  }

  void saveStoresPatternsTrimmedTextsAndFlags() {
    OPEN_SHELL_DATABASE(db);
    MessageAnswers answers;
    {
      TFRMSYSSETTING form;
      form.show();
      ChangeEveryControl(form);
      QTest::mouseClick(form.btnsave, Qt::LeftButton);
      QCOMPARE(form.result(), int(QDialog::Accepted));
    }
    const QStringList expected = {"0.00", "0", "O'Neil 五金", "0", "1", "2", "2", "3", "0", "0", "7", "0", "0"};
    QCOMPARE(SavedRows(db), expected);
    QCOMPARE(SavedFields(), expected);
    QVERIFY(answers.Asked().isEmpty());

    // Shown again, the window gives back what was saved.
    TFRMSYSSETTING again;
    again.show();
    QCOMPARE(again.edpriceround->value(), 2);
    QCOMPARE(again.edqtyround->value(), 0);
    QCOMPARE(again.eddefaultcs->text(), QStringLiteral("O'Neil 五金"));
    QVERIFY(again.rballowrepeat->isChecked() && again.rbxg3->isChecked() && again.rbnosavehint->isChecked());
    QVERIFY(!again.cbshowdaxie->isChecked() && again.cbtiaomastart->isChecked());

    // The other way round: everything back on its first choice.
    again.edpriceround->setValue(0);
    again.edqtyround->setValue(9);
    again.rbcpk->setChecked(true);
    again.rbnorepeat->setChecked(true);
    again.rbxg2->setChecked(true);
    again.rbautosave->setChecked(true);
    again.rbsavehint->setChecked(true);
    again.rbpd->setChecked(true);
    QTest::mouseClick(again.btnsave, Qt::LeftButton);
    const QStringList back = {"0", "0.000000000", "O'Neil 五金", "0", "1", "1", "1", "2", "1", "1", "7", "0", "1"};
    QCOMPARE(SavedRows(db), back);
  }

  void exitChangesNothing() {
    OPEN_SHELL_DATABASE(db);
    const QStringList rowsBefore = SavedRows(db);
    const QStringList fieldsBefore = SavedFields();
    TFRMSYSSETTING form;
    form.show();
    ChangeEveryControl(form);
    QTest::mouseClick(form.btnclose, Qt::LeftButton);
    QVERIFY(!form.isVisible());
    QCOMPARE(SavedRows(db), rowsBefore);
    QCOMPARE(SavedFields(), fieldsBefore);
  }

  void hiddenParameterIsNotLoaded() {
    OPEN_SHELL_DATABASE(db);
    db.Exec(QStringLiteral("update pisysparameter set fparameter='隐藏客户', fhide=1 where fname='默认客户'"));
    SysParas = TSysParas();
    LoadSystemParameters();
    QVERIFY(SysParas.DefaultCustomer.isEmpty());
    QVERIFY(!SysParas.PriceDecimals.isEmpty());
  }

  void clearingButtonsAskFirstAndNoChangesNothing() {
    OPEN_SHELL_DATABASE(db);
    db.Exec(QStringLiteral("insert into picuslink(FParentID,FName) values(0,'客户类')"));
    db.Exec(QStringLiteral("insert into piperlink(FParentID,FName) values(0,'联系人类')"));
    db.Exec(QStringLiteral("insert into cqsalebill(FInterID,FEntryID,fbillno,fcs) values(1,1,'XS0001','某客户')"));
    db.Exec(QStringLiteral("update pisysparameter set fparameter='41' where fname='单据编号'"));
    QVERIFY(db.Count(QStringLiteral("cqproduct")) > 0);
    QVERIFY(db.Count(QStringLiteral("cqproductclass")) > 0);

    TFRMSYSSETTING form;
    form.show();
    const struct {
      QPushButton* button;
      const char* question;
      QStringList tables;
    } kCases[] = {
        {form.b1, "确实要清空产品列表吗？\n注意：所有产品资料被删除后将不可恢复，谨慎操作，建议先备份！",
         {"cqproduct", "cqproductclass"}},
        {form.b2, "确实要清空客户列表吗？\n注意：所有客户资料被删除后将不可恢复，谨慎操作，建议先备份！", {"picuslink"}},
        {form.b3, "确实要清空联系人列表吗？\n注意：所有联系人被删除后将不可恢复，谨慎操作，建议先备份！", {"piperlink"}},
        {form.b4, "确实要清空销售单据吗？\n注意：所有销售单据被删除后将不可恢复，谨慎操作，建议先备份！", {"cqsalebill"}},
        {form.b5, "确实要重置单据编号吗？\n注意：销售单据将从【1】重新开始编号，谨慎操作，建议先备份！", {}},
    };
    for (const auto& c : kCases) {
      const int countBefore = c.tables.isEmpty() ? 0 : db.Count(c.tables.first());
      {
        MessageAnswers no({QMessageBox::No});
        QTest::mouseClick(c.button, Qt::LeftButton);
        QCOMPARE(no.Texts(), QStringList{QString::fromUtf8(c.question)});
        QCOMPARE(no.Asked().first().icon, velmor::MsgIcon::None);
        QCOMPARE(no.Asked().first().buttons, QMessageBox::Yes | QMessageBox::No);
      }
      if (!c.tables.isEmpty()) QCOMPARE(db.Count(c.tables.first()), countBefore);
      QCOMPARE(db.Parameter(QStringLiteral("单据编号")), QStringLiteral("41"));
      MessageAnswers yes({QMessageBox::Yes});
      QTest::mouseClick(c.button, Qt::LeftButton);
      QCOMPARE(yes.Texts().size(), 1);  // the question, no success message
      QVERIFY(c.button->isEnabled());
      for (const QString& table : c.tables) QCOMPARE(db.Count(table), 0);
    }
    QCOMPARE(db.Parameter(QStringLiteral("单据编号")), QStringLiteral("0"));
    const QString number = MakeBillNumber(db.data.KrxQ2, 4);
    QCOMPARE(number, SysParas.BillPrefix + QStringLiteral("0001"));
  }

  void dateFormatButtonSetsTheShortDateFormat() {
    OPEN_SHELL_DATABASE(db);
    TFRMSYSSETTING form;
    form.show();
    QCOMPARE(form.eddateformat->text(), QStringLiteral("yyyy-MM-dd"));
    QVERIFY(form.eddateformat->isReadOnly());
    QTest::mouseClick(form.btnsyssetdate, Qt::LeftButton);
    QCOMPARE(velmor::GetShortDateFormat(), QStringLiteral("yyyy-MM-dd"));
    QCOMPARE(form.ldateformathint->text(), QStringLiteral("现在日期格式为yyyy-MM-dd"));
  }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
