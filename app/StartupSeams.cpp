#include "StartupSeams.h"

#include <QCoreApplication>
#include <QDir>

#include "uniType.h"

const QString kFirstFriendlyHint =
    QStringLiteral("欢迎使用Velmor科技系列软件！访问 www.velmor.example 获取更多...");

void OpenDatabaseAndLoadParameters() {
  SysParas.CompanyTitle = QStringLiteral("Velmor科技 - 电缆销售开单系统");
  SysParas.SystemName = QStringLiteral("Velmor电缆销售开单系统");
  SysParas.PrintTitle = QStringLiteral("VELMOR SALE PRINT");
  SysParas.VersionText = QStringLiteral("QBX V2.0");
  SysParas.MoneyFormat = QStringLiteral("0.00");
  SysParas.AppDir = QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
}

QString GetFriendlyHint() { return kFirstFriendlyHint; }
