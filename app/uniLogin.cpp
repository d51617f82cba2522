#include "uniLogin.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QShortcut>
#include <QShowEvent>
#include <QStringEncoder>

#include "KrxException.h"
#include "MessageBox.h"
#include "uniData.h"
#include "uniShellSql.h"
#include "uniType.h"

QString PasswordDigest(const QString& text) {
  QStringEncoder nationalCodePage("GB18030");
  const QByteArray bytes = nationalCodePage(text);
  return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

namespace {
LoginRunner& Runner() {
  static LoginRunner runner;
  return runner;
}
}  // namespace

void SetLoginRunner(LoginRunner runner) { Runner() = std::move(runner); }

bool RunLogin(QWidget* parent) {
  if (Runner()) return Runner()(parent);
  TFRMLOGIN login(parent);
  return login.exec() == QDialog::Accepted;
}

TClickLabel::TClickLabel(const QString& text, QWidget* parent) : QLabel(parent) {
  setCursor(Qt::PointingHandCursor);
  // A label shows its "&" mnemonic only for a buddy; this one underlines the
  // letter itself and answers Alt+letter like a button.
  QString shown = text.toHtmlEscaped();
  const qsizetype amp = shown.indexOf(QLatin1String("&amp;"));
  if (amp >= 0 && amp + 5 < shown.size())
    shown = shown.left(amp) + QStringLiteral("<u>") + shown.mid(amp + 5, 1) + QStringLiteral("</u>") + shown.mid(amp + 6);
  setTextFormat(Qt::RichText);
  setText(shown);
  const QKeySequence mnemonic = QKeySequence::mnemonic(text);
  if (!mnemonic.isEmpty()) {
    auto* shortcut = new QShortcut(mnemonic, parent);
    connect(shortcut, &QShortcut::activated, this, &TClickLabel::clicked);
  }
}

void TClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

namespace {

QLabel* PlaceLabel(QWidget* parent, const QString& name, const QString& text, QRect where, int pixelSize = 12,
                   bool bold = false) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(where);
  QFont font = label->font();
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  label->setFont(font);
  return label;
}

}  // namespace

TFRMLOGIN::TFRMLOGIN(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("FRMLOGIN"));
  setWindowTitle(QStringLiteral("登录  -  行业软件 专业品质"));
  setFixedSize(379, 212);

  ilogin = new QLabel(this);
  ilogin->setObjectName(QStringLiteral("ilogin"));
  ilogin->setGeometry(0, 0, 105, 55);
  ilogin->setScaledContents(true);

  PlaceLabel(this, QStringLiteral("Label1"), QStringLiteral("Velmor科技"), {12, 8, 110, 20}, 14, true);
  PlaceLabel(this, QStringLiteral("Label3"), QStringLiteral("电缆销售开单系统"), {120, 14, 250, 30}, 22, true);
  PlaceLabel(this, QStringLiteral("Label2"), QStringLiteral("快捷的销售开单工具"), {200, 46, 170, 18});

  auto* userLabel = PlaceLabel(this, QStringLiteral("lUser"), QStringLiteral("用户(&U):"), {86, 84, 60, 20});
  edUser = new QLineEdit(this);
  edUser->setObjectName(QStringLiteral("edUser"));
  edUser->setGeometry(150, 82, 150, 22);
  edUser->setFrame(false);
  edUser->setReadOnly(true);
  edUser->setEnabled(false);
  userLabel->setBuddy(edUser);

  auto* passwordLabel = PlaceLabel(this, QStringLiteral("lPassword"), QStringLiteral("密码(&P):"), {86, 114, 60, 20});
  edPassword = new QLineEdit(this);
  edPassword->setObjectName(QStringLiteral("edPassword"));
  edPassword->setGeometry(150, 112, 150, 22);
  edPassword->setFrame(false);
  edPassword->setEchoMode(QLineEdit::Password);
  edPassword->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 35; }"));  // '#'
  passwordLabel->setBuddy(edPassword);

  Label4 = PlaceLabel(this, QStringLiteral("Label4"), QStringLiteral("初次使用无须密码"), {150, 138, 150, 16});
  Label4->setStyleSheet(QStringLiteral("color: #7a4a10;"));

  btnLogin = new TClickLabel(QStringLiteral("登录(&L)"), this);
  btnLogin->setObjectName(QStringLiteral("btnLogin"));
  btnLogin->setGeometry(150, 160, 60, 20);
  btnclose = new TClickLabel(QStringLiteral("退出(&E)"), this);
  btnclose->setObjectName(QStringLiteral("btnclose"));
  btnclose->setGeometry(240, 160, 60, 20);
  for (TClickLabel* button : {btnLogin, btnclose}) {
    QFont font = button->font();
    font.setBold(true);
    font.setUnderline(true);
    button->setFont(font);
  }

  PlaceLabel(this, QStringLiteral("Label6"), QStringLiteral("行业软件  专业品质  量体裁衣  贴身服务"), {8, 190, 260, 16}, 11);
  lver = PlaceLabel(this, QStringLiteral("lver"), QString(), {300, 190, 75, 16}, 11);
  auto* link = new QLabel(QStringLiteral("<a href=\"https://www.velmor.cn/community\">交流社区</a>"), this);
  link->setObjectName(QStringLiteral("lcommunity"));
  link->setGeometry(310, 66, 60, 16);
  link->setOpenExternalLinks(true);
  link->setCursor(Qt::PointingHandCursor);

  connect(btnLogin, &TClickLabel::clicked, this, &TFRMLOGIN::btnLoginClick);
  connect(btnclose, &TClickLabel::clicked, this, &TFRMLOGIN::btncloseClick);
  // Enter in the password field logs in.
  connect(edPassword, &QLineEdit::returnPressed, this, &TFRMLOGIN::btnLoginClick);
}

void TFRMLOGIN::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
  edPassword->setFocus();
}

void TFRMLOGIN::FormShow() {
  // No Chinese input method is forced on the password.
  edUser->setAttribute(Qt::WA_InputMethodEnabled, false);
  edPassword->setAttribute(Qt::WA_InputMethodEnabled, false);
  edUser->setText(SysParas.UserName);
  lver->setText(SysParas.VersionText);
  const QString picture = QDir(SysParas.AppDir).filePath(QStringLiteral("login.jpg"));
  if (QFile::exists(picture)) ilogin->setPixmap(QPixmap(picture));
}

void TFRMLOGIN::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QLinearGradient background(0, 0, 0, height());
  background.setColorAt(0.0, QColor(255, 236, 204));
  background.setColorAt(1.0, QColor(255, 202, 149));
  painter.fillRect(rect(), background);
  painter.setPen(QColor(180, 120, 60));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TFRMLOGIN::btnLoginClick() {
  QString stored;
  try {
    stored = ReadFirstValue(frmData->KrxQ1, QStringLiteral("select fparameter from pisysparameter where fname='密码'"),
                        "fparameter");
  } catch (const krx::EKrxException& error) {
    velmor::ShowError(this, QString::fromStdString(error.what()));
    edPassword->setFocus();
    return;
  }
  // The digest of the password exactly as typed, blanks included.
  if (stored.isEmpty() || PasswordDigest(edPassword->text()) != stored) {
    velmor::ShowError(this, QStringLiteral(" 密码不正确. "));
    edPassword->setFocus();
    return;
  }
  accept();
}

void TFRMLOGIN::btncloseClick() { reject(); }
