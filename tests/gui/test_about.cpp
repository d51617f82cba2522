// The About window and the notice window.
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "TestSupport.h"
#include "uniAbout.h"
#include "uniShowMessage.h"
#include "uniType.h"

class TestAbout : public QObject {
  Q_OBJECT

 private slots:
  void showsSystemVersionAndUserAndTheOptionalPicture() {
    QTemporaryDir appDir;
    SysParas.AppDir = appDir.path() + QLatin1Char('/');
    SysParas.CompanyTitle = QStringLiteral("Velmor科技 - 电缆销售开单系统");
    SysParas.VersionText = QStringLiteral("QBX V2.0");
    SysParas.UserName = QStringLiteral("管理员");
    {
      TFRMABOUT about;
      about.show();
      QVERIFY(QTest::qWaitForWindowExposed(&about));
      QCOMPARE(about.size(), QSize(332, 324));
      QCOMPARE(about.windowTitle(), QStringLiteral("关于"));
      QCOMPARE(about.linfo->text(),
               QStringLiteral("  系统名称: Velmor科技 - 电缆销售开单系统\n  系统版本: QBX V2.0\n  使用用户: 管理员\n"
                              "  使用范围: 还未开展信息化,仍沿用EXCEL\n                     或手写开单的厂家和贸易部\n"));
      QVERIFY(about.ilogo->pixmap().isNull());  // no about.jpg: an empty picture, no message
      velmor::test::SaveScreenshot(&about);
      QTest::mouseClick(about.btnOK, Qt::LeftButton);
      QVERIFY(!about.isVisible());
      QCOMPARE(about.result(), int(QDialog::Accepted));
    }
    QImage picture(95, 79, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QVERIFY(picture.save(appDir.filePath(QStringLiteral("about.jpg")), "JPG"));
    TFRMABOUT about;
    about.show();
    QVERIFY(!about.ilogo->pixmap().isNull());
  }

  void noticeWindowDrawsThreeEdgesAndHidesOnClose() {
    TfrmSHOWMESSAGE notice;
    QCOMPARE(notice.size(), QSize(274, 177));
    QVERIFY(notice.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(notice.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    QVERIFY(notice.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(notice.font().pixelSize(), 12);
    notice.show();
    QVERIFY(QTest::qWaitForWindowExposed(&notice));
    QCOMPARE(notice.btnclose->size(), QSize(17, 17));
    QCOMPARE(notice.btnclose->geometry().topRight(), QPoint(273, 0));

    notice.resize(300, 200);
    QCOMPARE(notice.btnclose->geometry().topRight(), QPoint(299, 0));
    const QImage image = notice.grab().toImage();
    const QRgb line = notice.palette().color(QPalette::WindowText).rgb();
    QCOMPARE(image.pixel(0, 100), line);    // left
    QCOMPARE(image.pixel(150, 0), line);    // top
    QCOMPARE(image.pixel(299, 100), line);  // right
    QVERIFY(image.pixel(150, 199) != line); // no bottom edge

    QTest::mouseClick(notice.btnclose, Qt::LeftButton);
    QVERIFY(!notice.isVisible());
    QCOMPARE(frmSHOWMESSAGE, &notice);  // the slot others reach it through
  }

  void noticeSlotEmptiesWithItsWindow() {
    { TfrmSHOWMESSAGE notice; }
    QCOMPARE(frmSHOWMESSAGE, nullptr);
  }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
