#include "UNISYSSETTING.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <tuple>

#include "KrxException.h"
#include "LocaleSettings.h"
#include "MessageBox.h"
#include "uniData.h"
#include "uniLogin.h"
#include "uniShellSql.h"
#include "uniType.h"

namespace {

// A number pattern holds "0" or "0." and one "0" per decimal.
int DecimalsOf(const QString& format) {
  if (format == QLatin1String("0")) return 0;
  return qBound(0, static_cast<int>(format.size()) - 2, 9);
}

QString PatternOf(int decimals) {
  return decimals == 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(decimals, QLatin1Char('0'));
}

QString Flag(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

QSpinBox* DigitEdit(const QString& name, QWidget* parent) {
  auto* edit = new QSpinBox(parent);
  edit->setObjectName(name);
  edit->setRange(0, 9);  // exactly one digit
  edit->setFixedWidth(44);
  return edit;
}

QRadioButton* Radio(const QString& name, const QString& caption, QWidget* parent) {
  auto* button = new QRadioButton(caption, parent);
  button->setObjectName(name);
  return button;
}

// The buttons of one radio group side by side in a container of their own,
// the first one checked.
QWidget* RadioGroup(QWidget* parent, std::initializer_list<QRadioButton**> buttons,
                    std::initializer_list<std::pair<const char*, const char*>> names) {
  auto* group = new QWidget(parent);
  auto* layout = new QHBoxLayout(group);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(10);
  auto name = names.begin();
  for (QRadioButton** button : buttons) {
    *button = Radio(QString::fromLatin1(name->first), QString::fromUtf8(name->second), group);
    layout->addWidget(*button);
    ++name;
  }
  layout->addStretch(1);
  (**buttons.begin())->setChecked(true);
  return group;
}

QLabel* RowLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

QGridLayout* CompactGrid(QWidget* page) {
  auto* grid = new QGridLayout(page);
  grid->setContentsMargins(6, 4, 6, 4);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(1);
  return grid;
}

}  // namespace

TFRMSYSSETTING::TFRMSYSSETTING(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FRMSYSSETTING"));
  setWindowTitle(QStringLiteral("系统设置"));
  setFixedSize(430, 287);
  QFont small = font();
  small.setPixelSize(12);
  setFont(small);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(2);
  pc = new QTabWidget(this);
  pc->setObjectName(QStringLiteral("pc"));
  pc->setDocumentMode(true);  // flat page headers
  layout->addWidget(pc, 1);
  BuildParameterPage();
  BuildLoginPage();
  BuildClearingPage();

  auto* bottom = new QHBoxLayout;
  lHINT = new QLabel(this);
  lHINT->setObjectName(QStringLiteral("lHINT"));
  lHINT->setStyleSheet(QStringLiteral("color: #b00000;"));
  bottom->addWidget(lHINT, 1);
  btnsave = new QPushButton(QStringLiteral("确定(&Y)"), this);
  btnsave->setObjectName(QStringLiteral("btnsave"));
  btnclose = new QPushButton(QStringLiteral("退出(&C)"), this);
  btnclose->setObjectName(QStringLiteral("btnclose"));
  btnsave->setAutoDefault(false);
  btnclose->setAutoDefault(false);
  bottom->addWidget(btnsave);
  bottom->addWidget(btnclose);
  layout->addLayout(bottom);

  connect(btnsave, &QPushButton::clicked, this, &TFRMSYSSETTING::btnsaveClick);
  connect(btnclose, &QPushButton::clicked, this, &QDialog::reject);
  connect(sbmodiftpassword, &QPushButton::clicked, this, &TFRMSYSSETTING::sbmodiftpasswordClick);
  connect(btnsyssetdate, &QPushButton::clicked, this, &TFRMSYSSETTING::btnsyssetdateClick);
  connect(b1, &QPushButton::clicked, this, &TFRMSYSSETTING::b1Click);
  connect(b2, &QPushButton::clicked, this, &TFRMSYSSETTING::b2Click);
  connect(b3, &QPushButton::clicked, this, &TFRMSYSSETTING::b3Click);
  connect(b4, &QPushButton::clicked, this, &TFRMSYSSETTING::b4Click);
  connect(b5, &QPushButton::clicked, this, &TFRMSYSSETTING::b5Click);
}

void TFRMSYSSETTING::BuildParameterPage() {
  tssyspara = new QWidget;
  tssyspara->setObjectName(QStringLiteral("tssyspara"));
  pc->addTab(tssyspara, QStringLiteral("系统参数"));
  QGridLayout* grid = CompactGrid(tssyspara);
  int row = 0;

  auto* digits = new QWidget(tssyspara);
  auto* digitsLayout = new QHBoxLayout(digits);
  digitsLayout->setContentsMargins(0, 0, 0, 0);
  edqtyround = DigitEdit(QStringLiteral("edqtyround"), digits);
  edpriceround = DigitEdit(QStringLiteral("edpriceround"), digits);
  digitsLayout->addWidget(edqtyround);
  digitsLayout->addWidget(new QLabel(QStringLiteral("单价列的小数位数:"), digits));
  digitsLayout->addWidget(edpriceround);
  digitsLayout->addStretch(1);
  grid->addWidget(RowLabel(QStringLiteral("送货单中，数量列的小数位数:"), tssyspara), row, 0);
  grid->addWidget(digits, row++, 1);

  auto* barcode = new QWidget(tssyspara);
  auto* barcodeLayout = new QHBoxLayout(barcode);
  barcodeLayout->setContentsMargins(0, 0, 0, 0);
  edtiaomaqty = DigitEdit(QStringLiteral("edtiaomaqty"), barcode);
  cbtiaomastart = new QCheckBox(QStringLiteral("启用条码功能"), barcode);
  cbtiaomastart->setObjectName(QStringLiteral("cbtiaomastart"));
  barcodeLayout->addWidget(edtiaomaqty);
  barcodeLayout->addWidget(cbtiaomastart);
  barcodeLayout->addStretch(1);
  grid->addWidget(RowLabel(QStringLiteral("条形码：条形码的最小位数:"), tssyspara), row, 0);
  grid->addWidget(barcode, row++, 1);

  eddefaultcs = new QLineEdit(tssyspara);
  eddefaultcs->setObjectName(QStringLiteral("eddefaultcs"));
  grid->addWidget(RowLabel(QStringLiteral("开销售单时，默认的客户名称:"), tssyspara), row, 0);
  grid->addWidget(eddefaultcs, row++, 1);

  cbshowdaxie = new QCheckBox(QStringLiteral("显示大写金额"), tssyspara);
  cbshowdaxie->setObjectName(QStringLiteral("cbshowdaxie"));
  grid->addWidget(RowLabel(QStringLiteral("销售单界面是否显示大写金额:"), tssyspara), row, 0);
  grid->addWidget(cbshowdaxie, row++, 1);

  auto* source = new QWidget(tssyspara);
  auto* sourceLayout = new QHBoxLayout(source);
  sourceLayout->setContentsMargins(0, 0, 0, 0);
  sourceLayout->addWidget(new QLabel(QStringLiteral("销售单界面,产品名称、型号、规格列取数来源于:"), source));
  sourceLayout->addWidget(RadioGroup(source, {&rbcpk, &rbxsd}, {{"rbcpk", "产品库"}, {"rbxsd", "销售单"}}), 1);
  grid->addWidget(source, row++, 0, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("产品库中,[型号+规格]重复时的处理方式:"), tssyspara), row++, 0, 1, 2);
  grid->addWidget(RadioGroup(tssyspara, {&rbnorepeat, &rballowrepeat},
                             {{"rbnorepeat", "不允许重复"}, {"rballowrepeat", "提示,但允许重复"}}),
                  row++, 1);
  grid->addWidget(new QLabel(QStringLiteral("保存时,名称型号规格录入选项:"), tssyspara), row++, 0, 1, 2);
  grid->addWidget(RadioGroup(tssyspara, {&rbxg1, &rbxg2, &rbxg3},
                             {{"rbxg1", "型号规格必录其一"}, {"rbxg2", "型号规格必录"}, {"rbxg3", "名称型号规格必录其一"}}),
                  row++, 0, 1, 2);
  grid->addWidget(RowLabel(QStringLiteral("单据打印前，是否自动保存单据内容:"), tssyspara), row, 0);
  grid->addWidget(RadioGroup(tssyspara, {&rbautosave, &rbnotautosave},
                             {{"rbautosave", "自动保存"}, {"rbnotautosave", "不自动保存"}}),
                  row++, 1);
  grid->addWidget(RowLabel(QStringLiteral("单据保存成功时，提示方式:"), tssyspara), row, 0);
  grid->addWidget(RadioGroup(tssyspara, {&rbsavehint, &rbnosavehint}, {{"rbsavehint", "提示"}, {"rbnosavehint", "不提示"}}),
                  row++, 1);
  grid->setRowStretch(row, 1);
}

void TFRMSYSSETTING::BuildLoginPage() {
  tslogin = new QWidget;
  tslogin->setObjectName(QStringLiteral("tslogin"));
  pc->addTab(tslogin, QStringLiteral("登录项"));
  QGridLayout* grid = CompactGrid(tslogin);
  grid->setVerticalSpacing(6);
  edusername = new QLineEdit(tslogin);
  edusername->setObjectName(QStringLiteral("edusername"));
  grid->addWidget(RowLabel(QStringLiteral("用户:"), tslogin), 0, 0);
  grid->addWidget(edusername, 0, 1);

  auto* gblogin = new QGroupBox(QStringLiteral("更改密码"), tslogin);
  gblogin->setObjectName(QStringLiteral("gblogin"));
  auto* box = new QGridLayout(gblogin);
  box->setVerticalSpacing(4);
  int row = 0;
  for (auto [edit, name, caption] : {std::tuple{&foldpw, "foldpw", "原密码:"}, std::tuple{&fnewpw1, "fnewpw1", "新密码:"},
                                     std::tuple{&fnewpw2, "fnewpw2", "重输入:"}}) {
    *edit = new QLineEdit(gblogin);
    (*edit)->setObjectName(QString::fromLatin1(name));
    (*edit)->setEchoMode(QLineEdit::Password);
    (*edit)->setAttribute(Qt::WA_InputMethodEnabled, false);
    box->addWidget(RowLabel(QString::fromUtf8(caption), gblogin), row, 0);
    box->addWidget(*edit, row++, 1);
  }
  sbmodiftpassword = new QPushButton(QStringLiteral("应用(&A)"), gblogin);
  sbmodiftpassword->setObjectName(QStringLiteral("sbmodiftpassword"));
  sbmodiftpassword->setAutoDefault(false);
  box->addWidget(sbmodiftpassword, row, 1, Qt::AlignRight);
  grid->addWidget(gblogin, 1, 0, 1, 2);
  grid->setRowStretch(2, 1);
}

void TFRMSYSSETTING::BuildClearingPage() {
  tschushihua = new QWidget;
  tschushihua->setObjectName(QStringLiteral("tschushihua"));
  pc->addTab(tschushihua, QStringLiteral("初始化"));
  QGridLayout* grid = CompactGrid(tschushihua);
  grid->setVerticalSpacing(3);

  auto* buttons = new QWidget(tschushihua);
  auto* buttonGrid = new QGridLayout(buttons);
  buttonGrid->setContentsMargins(0, 0, 0, 0);
  buttonGrid->setSpacing(3);
  int index = 0;
  for (auto [button, name, caption] :
       {std::tuple{&b1, "b1", "清空 : 产品列表"}, std::tuple{&b2, "b2", "清空 : 客户列表"},
        std::tuple{&b3, "b3", "清空 : 联  系  人"}, std::tuple{&b4, "b4", "清空 : 销售单据"},
        std::tuple{&b5, "b5", "重置 : 销售单据编号"}}) {
    *button = new QPushButton(QString::fromUtf8(caption), buttons);
    (*button)->setObjectName(QString::fromLatin1(name));
    (*button)->setAutoDefault(false);
    buttonGrid->addWidget(*button, index / 3, index % 3);
    ++index;
  }
  grid->addWidget(buttons, 0, 0, 1, 2);

  cbIfPrintSpace = new QCheckBox(QStringLiteral("是否空表格补齐"), tschushihua);
  cbIfPrintSpace->setObjectName(QStringLiteral("cbIfPrintSpace"));
  grid->addWidget(RowLabel(QStringLiteral("打印时,未满页时是否空表格补齐:"), tschushihua), 1, 0);
  grid->addWidget(cbIfPrintSpace, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("保存单据时，是否判断颜色数量之和必须等于总数量:"), tschushihua), 2, 0, 1, 2);
  grid->addWidget(RadioGroup(tschushihua, {&rbpd, &rbbpd}, {{"rbpd", "判断"}, {"rbbpd", "不判断"}}), 3, 1);

  ldateformathint = new QLabel(tschushihua);
  ldateformathint->setObjectName(QStringLiteral("ldateformathint"));
  grid->addWidget(ldateformathint, 4, 0, 1, 2);
  auto* dateRow = new QWidget(tschushihua);
  auto* dateLayout = new QHBoxLayout(dateRow);
  dateLayout->setContentsMargins(0, 0, 0, 0);
  eddateformat = new QLineEdit(QStringLiteral("yyyy-MM-dd"), dateRow);
  eddateformat->setObjectName(QStringLiteral("eddateformat"));
  eddateformat->setReadOnly(true);
  eddateformat->setFixedWidth(100);
  btnsyssetdate = new QPushButton(QStringLiteral("设置系统日期格式"), dateRow);
  btnsyssetdate->setObjectName(QStringLiteral("btnsyssetdate"));
  btnsyssetdate->setAutoDefault(false);
  dateLayout->addWidget(eddateformat);
  dateLayout->addWidget(btnsyssetdate);
  dateLayout->addStretch(1);
  grid->addWidget(RowLabel(QStringLiteral("设置日期格式为:"), tschushihua), 5, 0);
  grid->addWidget(dateRow, 5, 1);
  grid->setRowStretch(6, 1);
}

void TFRMSYSSETTING::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void TFRMSYSSETTING::FormShow() {
  pc->setCurrentIndex(0);
  edqtyround->setValue(DecimalsOf(SysParas.QtyDecimals));
  edpriceround->setValue(DecimalsOf(SysParas.PriceDecimals));
  bool digitOk = false;
  const int barcodeLength = SysParas.BarcodeMinLength.trimmed().toInt(&digitOk);
  edtiaomaqty->setValue(digitOk ? qBound(0, barcodeLength, 9) : 0);
  cbtiaomastart->setChecked(SysParas.BarcodeEnabled == QLatin1String("1"));
  eddefaultcs->setText(SysParas.DefaultCustomer);
  cbshowdaxie->setChecked(SysParas.ShowCapitals == QLatin1String("1"));
  cbIfPrintSpace->setChecked(SysParas.FillEmptyRows == QLatin1String("1"));
  // A field holding none of a group's values leaves the design state.
  auto pick = [](const QString& field, std::initializer_list<std::pair<const char*, QRadioButton*>> choices) {
    for (const auto& [value, button] : choices)
      if (field == QLatin1String(value)) button->setChecked(true);
  };
  pick(SysParas.SaleColumnSource, {{"1", rbcpk}, {"2", rbxsd}});
  pick(SysParas.DuplicateProductMode, {{"1", rbnorepeat}, {"2", rballowrepeat}});
  pick(SysParas.NameModelSpec, {{"1", rbxg1}, {"2", rbxg2}, {"3", rbxg3}});
  pick(SysParas.AutoSaveOnPrint, {{"1", rbautosave}, {"0", rbnotautosave}});
  pick(SysParas.PromptOnSave, {{"1", rbsavehint}, {"0", rbnosavehint}});
  pick(SysParas.StrictColourSum, {{"1", rbpd}, {"0", rbbpd}});
  edusername->setText(SysParas.UserName);
  RefreshDateFormatLabel();
}

void TFRMSYSSETTING::RefreshDateFormatLabel() {
  ldateformathint->setText(QStringLiteral("现在日期格式为") + velmor::GetShortDateFormat());
}

void TFRMSYSSETTING::btnsaveClick() {
  struct Change {
    const char* name;
    QString value;
    QString* field;
  };
  const Change changes[] = {
      {"单价精度", PatternOf(edpriceround->value()), &SysParas.PriceDecimals},
      {"数量精度", PatternOf(edqtyround->value()), &SysParas.QtyDecimals},
      {"默认客户", eddefaultcs->text().trimmed(), &SysParas.DefaultCustomer},
      {"显示大写", Flag(cbshowdaxie->isChecked()), &SysParas.ShowCapitals},
      {"启用条码功能", Flag(cbtiaomastart->isChecked()), &SysParas.BarcodeEnabled},
      {"销售单列取数来自", rbxsd->isChecked() ? QStringLiteral("2") : QStringLiteral("1"), &SysParas.SaleColumnSource},
      {"产品重复处理方式", rballowrepeat->isChecked() ? QStringLiteral("2") : QStringLiteral("1"),
       &SysParas.DuplicateProductMode},
      {"名称型号规格", rbxg3->isChecked()   ? QStringLiteral("3")
                       : rbxg2->isChecked() ? QStringLiteral("2")
                                            : QStringLiteral("1"),
       &SysParas.NameModelSpec},
      {"打印时自动保存", Flag(!rbnotautosave->isChecked()), &SysParas.AutoSaveOnPrint},
      {"保存成功是否提示", Flag(!rbnosavehint->isChecked()), &SysParas.PromptOnSave},
      {"条形码最短长度", edtiaomaqty->text().trimmed(), &SysParas.BarcodeMinLength},
      {"是否空表格补齐", Flag(cbIfPrintSpace->isChecked()), &SysParas.FillEmptyRows},
      {"是否严格要求颜色数量字段之和等于总数量", Flag(!rbbpd->isChecked()), &SysParas.StrictColourSum},
  };
  for (const Change& change : changes) {
    try {
      WriteParameter(frmData->KrxQ1, QString::fromUtf8(change.name), change.value);
    } catch (const krx::EKrxException& error) {
      // The parameters before this one stay saved; the window stays open.
      velmor::ShowError(this, QString::fromStdString(error.what()));
      return;
    }
    *change.field = change.value;
  }
  accept();
}

void TFRMSYSSETTING::sbmodiftpasswordClick() {
  const QString userName = edusername->text().trimmed();
  if (userName.isEmpty()) {
    velmor::ShowError(this, QStringLiteral("必须输入用户名称。"));
    edusername->setFocus();
    return;
  }
  const QString newPassword = fnewpw1->text().trimmed();
  if (newPassword != fnewpw2->text().trimmed()) {
    velmor::ShowError(this, QStringLiteral("两次输入的密码不相同，请重新输入。"));
    fnewpw1->setFocus();
    return;
  }
  if (PasswordDigest(foldpw->text().trimmed()) != SysParas.Password) {
    velmor::ShowError(this, QStringLiteral("原密码有误，请正确输入原来的密码。"));
    foldpw->setFocus();
    return;
  }
  const QString digest = PasswordDigest(newPassword);
  try {
    WriteParameter(frmData->KrxQ1, QStringLiteral("密码"), digest);
    SysParas.Password = digest;
    WriteParameter(frmData->KrxQ1, QStringLiteral("用户名"), userName);
    SysParas.UserName = userName;
  } catch (const krx::EKrxException& error) {
    velmor::ShowError(this, QString::fromStdString(error.what()));
    return;
  }
  lHINT->setText(QStringLiteral("更改【用户和密码】成功"));
}

void TFRMSYSSETTING::btnsyssetdateClick() {
  velmor::SetShortDateFormat(eddateformat->text().trimmed());  // a refusal leaves the label unchanged
  RefreshDateFormatLabel();
}

void TFRMSYSSETTING::ClearData(QPushButton* button, const QString& question, const QStringList& statements) {
  if (!velmor::AskYesNo(this, question, velmor::MsgIcon::None)) return;
  button->setEnabled(false);
  try {
    for (const QString& sql : statements) ExecStatement(frmData->KrxQ1, sql);
  } catch (const krx::EKrxException& error) {
    button->setEnabled(true);
    velmor::ShowError(this, QString::fromStdString(error.what()));
    return;
  }
  button->setEnabled(true);
}

void TFRMSYSSETTING::b1Click() {
  ClearData(b1, QStringLiteral("确实要清空产品列表吗？\n注意：所有产品资料被删除后将不可恢复，谨慎操作，建议先备份！"),
            {QStringLiteral("delete from cqproduct"), QStringLiteral(" delete from cqproductclass")});
}

void TFRMSYSSETTING::b2Click() {
  ClearData(b2, QStringLiteral("确实要清空客户列表吗？\n注意：所有客户资料被删除后将不可恢复，谨慎操作，建议先备份！"),
            {QStringLiteral(" delete from picuslink")});
}

void TFRMSYSSETTING::b3Click() {
  ClearData(b3, QStringLiteral("确实要清空联系人列表吗？\n注意：所有联系人被删除后将不可恢复，谨慎操作，建议先备份！"),
            {QStringLiteral(" delete from piperlink")});
}

void TFRMSYSSETTING::b4Click() {
  ClearData(b4, QStringLiteral("确实要清空销售单据吗？\n注意：所有销售单据被删除后将不可恢复，谨慎操作，建议先备份！"),
            {QStringLiteral(" delete from cqsalebill")});
}

void TFRMSYSSETTING::b5Click() {
  ClearData(b5, QStringLiteral("确实要重置单据编号吗？\n注意：销售单据将从【1】重新开始编号，谨慎操作，建议先备份！"),
            {QStringLiteral(" update pisysparameter set fparameter='0' where fname='单据编号'")});
}
