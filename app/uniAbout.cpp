#include "uniAbout.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>

#include "uniType.h"

TFRMABOUT::TFRMABOUT(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FRMABOUT"));
  setWindowTitle(QStringLiteral("关于"));
  setFixedSize(332, 324);
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  QFont small = font();
  small.setPixelSize(12);
  setFont(small);

  auto* pTop = new QFrame(this);
  pTop->setObjectName(QStringLiteral("pTop"));
  pTop->setFrameShape(QFrame::Panel);
  pTop->setFrameShadow(QFrame::Sunken);
  pTop->setGeometry(0, 0, 332, 81);
  ilogo = new QLabel(pTop);
  ilogo->setObjectName(QStringLiteral("ilogo"));
  ilogo->setGeometry(1, 1, 95, 79);
  ilogo->setScaledContents(true);
  linfo = new QLabel(pTop);
  linfo->setObjectName(QStringLiteral("linfo"));
  linfo->setGeometry(96, 3, 234, 77);
  linfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont infoFont = linfo->font();
  infoFont.setPixelSize(11);  // five lines in the 81-pixel panel
  linfo->setFont(infoFont);

  auto* lintro = new QLabel(this);
  lintro->setObjectName(QStringLiteral("lintro"));
  lintro->setGeometry(10, 86, 312, 140);
  lintro->setWordWrap(true);
  lintro->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lintro->setText(QStringLiteral(
      "    本系统为电线电缆生产厂家和经销商量身定做：按型号、规格和颜色开出送货单，"
      "金额自动计算并显示大写，单据可打印、查找和统计；产品库、客户和联系人资料一处维护，"
      "随时可导出到电子表格。\n\n"
      "    适合还未开展信息化、仍在用EXCEL或手写开单的厂家和贸易部，装上即可开单，"
      "数据存放在一个文件中，备份与恢复只需一步。"));

  auto* pContact = new QFrame(this);
  pContact->setObjectName(QStringLiteral("pContact"));
  pContact->setGeometry(0, 226, 332, 69);
  const char* const kLines[] = {
      "下载网站: <a href=\"https://www.velmor.cn\">https://www.velmor.cn</a>",
      "交流群: Velmor电缆开单用户群 316 208 451",
      "邮箱: support@velmor.cn  sales@velmor.cn",
      "合作电话: 0571-8816 2040",
  };
  int top = 2;
  for (const char* line : kLines) {
    auto* label = new QLabel(QString::fromUtf8(line), pContact);
    label->setGeometry(10, top, 312, 16);
    if (QString::fromUtf8(line).contains(QLatin1String("<a "))) {
      label->setObjectName(QStringLiteral("lwebsite"));
      label->setOpenExternalLinks(true);
      label->setCursor(Qt::PointingHandCursor);
    }
    top += 16;
  }

  btnOK = new QPushButton(QStringLiteral("确定(&O)"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setGeometry(246, 296, 78, 24);
  btnOK->setDefault(true);
  connect(btnOK, &QPushButton::clicked, this, &TFRMABOUT::btnOKClick);
}

void TFRMABOUT::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void TFRMABOUT::FormShow() {
  linfo->setText(QStringLiteral("  系统名称: ") + SysParas.CompanyTitle + QLatin1Char('\n') +
                 QStringLiteral("  系统版本: ") + SysParas.VersionText + QLatin1Char('\n') +
                 QStringLiteral("  使用用户: ") + SysParas.UserName + QLatin1Char('\n') +
                 QStringLiteral("  使用范围: 还未开展信息化,仍沿用EXCEL") + QLatin1Char('\n') +
                 QStringLiteral("                     或手写开单的厂家和贸易部") + QLatin1Char('\n'));
  const QString picture = QDir(SysParas.AppDir).filePath(QStringLiteral("about.jpg"));
  if (QFile::exists(picture)) ilogo->setPixmap(QPixmap(picture));
}

void TFRMABOUT::btnOKClick() { accept(); }
