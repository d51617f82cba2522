// The main window: its menus, navigation and status bar, how working
// windows open into the content pane, the keys it previews and the exit
// question.
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <stdexcept>

#include "ComServer.h"
#include "NavBar.h"
#include "StartupSeams.h"
#include "StringGrid.h"
#include "TestSupport.h"
#include "uniData.h"
#include "uniLogin.h"
#include "uniMain.h"
#include "uniType.h"

using velmor::test::MessageAnswers;

// Receives the addresses the program hands to the browser.
class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public slots:
  void Open(const QUrl& url) { opened.append(url); }
};

class TestMain : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TfrmData> data_;
  std::unique_ptr<TfrmMain> main_;

  TfrmMain& ShowMain() {
    main_->show();
    main_->activateWindow();
    if (!QTest::qWaitForWindowActive(main_.get())) qWarning("main window not active");
    return *main_;
  }

  // The working window in front at the middle of the content pane.
  QWidget* FrontWorkingWindow() const {
    QWidget* hit = main_->pContent->childAt(main_->pContent->rect().center());
    while (hit && hit->parentWidget() != main_->pContent) hit = hit->parentWidget();
    return hit;
  }

  // A grid in a working window of its own, with focus, so that keys reach
  // it through the main window.
  velmor::StringGrid* MakeFocusedGrid(const QList<int>& widths, int rows) {
    auto* window = new QWidget(main_->pContent);
    window->setGeometry(main_->pContent->rect());
    auto* grid = new velmor::StringGrid(window);
    grid->setGeometry(0, 0, 600, 300);
    grid->setColCount(static_cast<int>(widths.size()));
    grid->setRowCount(rows);
    for (int c = 0; c < widths.size(); ++c) grid->setColWidth(c, widths[c]);
    window->show();
    window->raise();
    grid->setFocus();
    return grid;
  }

 private slots:
  void initTestCase() {
    QVERIFY(velmor::test::InstallInitialDatabase());
    SetLoginRunner([](QWidget*) { return true; });  // no person types the password here
  }

  void init() {
    SysParas = TSysParas();
    data_ = std::make_unique<TfrmData>();
    main_ = std::make_unique<TfrmMain>();
  }

  void cleanup() {
    main_.reset();
    data_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  void menusHoldEveryItemSeparatorAndCaption() {
    // "-" stands for a separator.
    const QList<QPair<QString, QStringList>> expected = {
        {"系统", {"nsyssetting=系统设置", "-", "nbackup=数据备份", "nrestore=数据还原", "-", "nexit=退出系统"}},
        {"工具", {"nproduct=电缆产品", "ncustomer=客户资料", "nlinker=联系人资料", "-", "ncable=线缆资料", "-",
                  "ncalc=计算器"}},
        {"关于", {"nhelp=帮助", "nonline=在线讨论", "-", "nABOUT=关于"}},
    };
    QCOMPARE(main_->mm->objectName(), QStringLiteral("mm"));
    const QList<QAction*> menus = main_->mm->actions();
    QCOMPARE(menus.size(), expected.size());
    for (int m = 0; m < menus.size(); ++m) {
      QCOMPARE(menus[m]->text(), expected[m].first);
      QStringList items;
      for (QAction* item : menus[m]->menu()->actions())
        items << (item->isSeparator() ? QStringLiteral("-") : item->objectName() + "=" + item->text());
      QCOMPARE(items, expected[m].second);
    }
  }

  void navigationBarHoldsTwoPanelsOfButtons() {
    struct Button {
      const char* name;
      const char* caption;
      const char* hint;
    };
    const QList<QPair<QString, QList<Button>>> expected = {
        {"基础资料",
         {{"spproduct", "产品资料", "产品资料"},
          {"spcustomer", "客户资料", "客户资料"},
          {"splinker", "联  系  人", "联系人"},
          {"spcable", "线缆资料", ""}}},
        {"销售开单",
         {{"spsalebill", "开        单", "开销售单"},
          {"sbsearchbill", "查        单", "查找以往销售单"},
          {"spsalereport", "报        表", "报表统计"}}},
    };
    velmor::NavBar* nav = main_->NB;
    QCOMPARE(nav->objectName(), QStringLiteral("NB"));
    QCOMPARE(nav->parentWidget(), main_->PLNAVI);
    QCOMPARE(nav->PanelCount(), expected.size());
    for (int p = 0; p < nav->PanelCount(); ++p) {
      QCOMPARE(nav->Panel(p)->Caption(), expected[p].first);
      const QList<QToolButton*> buttons = nav->Panel(p)->Buttons();
      QCOMPARE(buttons.size(), expected[p].second.size());
      for (int b = 0; b < buttons.size(); ++b) {
        const Button& want = expected[p].second[b];
        QCOMPARE(buttons[b]->objectName(), QString::fromLatin1(want.name));
        QCOMPARE(buttons[b]->text(), QString::fromUtf8(want.caption));
        QCOMPARE(buttons[b]->toolTip(), QString::fromUtf8(want.hint));
        QCOMPARE(buttons[b]->size(), QSize(150, 33));
        QCOMPARE(buttons[b]->cursor().shape(), Qt::PointingHandCursor);
      }
    }
  }

  void aPanelHeaderFoldsAndOpensItsPanel() {
    ShowMain();
    velmor::NavBar* nav = main_->NB;
    auto stackedTightly = [nav] {
      // Each panel starts right below the one above: a folded panel is no
      // higher than its header.
      const QRect first = nav->Panel(0)->geometry();
      return first.top() == 0 && nav->Panel(1)->geometry().top() <= first.bottom() + 2;
    };
    QCOMPARE(nav->ActivePanel(), 1);
    for (int p = 0; p < 2; ++p) {
      for (QToolButton* button : nav->Panel(p)->Buttons()) QVERIFY(button->isVisible());
    }
    QTRY_VERIFY(stackedTightly());

    QTest::mouseClick(nav->Panel(0)->Header(), Qt::LeftButton);
    QVERIFY(!nav->Panel(0)->IsOpen());
    QVERIFY(!nav->Panel(0)->Buttons().first()->isVisible());
    QVERIFY(nav->Panel(1)->Buttons().first()->isVisible());
    QTRY_COMPARE(nav->Panel(0)->height(), nav->Panel(0)->Header()->height());
    QTRY_VERIFY(stackedTightly());
    QCOMPARE(nav->ActivePanel(), 1);

    QTest::mouseClick(nav->Panel(0)->Header(), Qt::LeftButton);
    QVERIFY(nav->Panel(0)->Buttons().first()->isVisible());
    QCOMPARE(nav->ActivePanel(), 0);
    QTRY_VERIFY(stackedTightly());
  }

  void layoutHasItsSizes() {
    ShowMain();
    QCOMPARE(main_->pllll->height(), 25);
    QCOMPARE(main_->lad2->width(), 107);
    QCOMPARE(main_->lad1->width(), 238);
    QCOMPARE(main_->lad2->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(main_->lad1->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(main_->PLNAVI->width(), 152);
    QCOMPARE(main_->Splitter1->handleWidth(), 2);
    QCOMPARE(main_->SB->height(), 18);
    QCOMPARE(main_->StatusPanel(0)->width(), 185);
    QCOMPARE(main_->StatusPanel(2)->width(), 450);
    QCOMPARE(main_->StatusPanel(3)->width(), 50);
    QCOMPARE(main_->StatusPanel(2)->text(), kFirstFriendlyHint);
    QVERIFY(main_->TimerHint->isActive());
    QCOMPARE(main_->TimerHint->interval(), 60000);
    velmor::test::SaveScreenshot(main_.get());
  }

  void showingSetsCaptionStatusAndOpensTheSaleBill_data() {
    QTest::addColumn<QString>("userName");
    QTest::addColumn<int>("panelWidth");
    QTest::newRow("three Chinese characters") << QStringLiteral("张三丰") << 48;
    QTest::newRow("latin letters") << QStringLiteral("Admin") << 40;
    QTest::newRow("mixed") << QStringLiteral("王a") << 24;
    QTest::newRow("empty") << QString() << 0;
  }

  void showingSetsCaptionStatusAndOpensTheSaleBill() {
    QFETCH(QString, userName);
    QFETCH(int, panelWidth);
    SysParas.UserName = userName;
    ShowMain();
    QCOMPARE(main_->windowTitle(), "Velmor科技 - 电缆销售开单系统 - " + userName + " - VELMOR SALE PRINT");
    QCOMPARE(main_->StatusPanel(1)->text(), userName);
    QCOMPARE(main_->StatusPanel(1)->width(), panelWidth);
    QCOMPARE(main_->NB->ActivePanel(), 1);
    QWidget* bill = WindowSlot(WindowKind::SaleBill);
    QVERIFY(bill);
    QCOMPARE(bill->parentWidget(), main_->pContent);
    QVERIFY(bill->isVisible());
    QCOMPARE(bill->geometry(), main_->pContent->rect());
    QCOMPARE(bill->property("BillInterID").toString(), QStringLiteral("0"));
    QCOMPARE(FrontWorkingWindow(), bill);
  }

  void navigationAndMenuOpenTheirWindowsInFront_data() {
    QTest::addColumn<QString>("opener");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::newRow("spproduct") << "spproduct" << int(WindowKind::Product) << "电缆产品库";
    QTest::newRow("spcustomer") << "spcustomer" << int(WindowKind::Customer) << "客户资料";
    QTest::newRow("splinker") << "splinker" << int(WindowKind::Linker) << "联系人资料";
    QTest::newRow("sbsearchbill") << "sbsearchbill" << int(WindowKind::SaleBillManagement) << "查找销售单";
    QTest::newRow("spsalereport") << "spsalereport" << int(WindowKind::SaleReport) << "统计报表";
    QTest::newRow("nproduct") << "nproduct" << int(WindowKind::Product) << "电缆产品库";
    QTest::newRow("ncustomer") << "ncustomer" << int(WindowKind::Customer) << "客户资料";
    QTest::newRow("nlinker") << "nlinker" << int(WindowKind::Linker) << "联系人资料";
  }

  void navigationAndMenuOpenTheirWindowsInFront() {
    QFETCH(QString, opener);
    QFETCH(int, kind);
    QFETCH(QString, caption);
    ShowMain();
    if (auto* button = main_->findChild<QToolButton*>(opener)) {
      button->click();
    } else {
      main_->findChild<QAction*>(opener)->trigger();
    }
    QWidget* window = WindowSlot(static_cast<WindowKind>(kind));
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->parentWidget(), main_->pContent);
    QCOMPARE(FrontWorkingWindow(), window);
    // The sale bill opened at show is still there, behind it.
    QVERIFY(WindowSlot(WindowKind::SaleBill)->isVisible());
  }

  void openingAShowingWindowBringsTheSameOneForward() {
    ShowMain();
    main_->nproduct->trigger();
    QPointer<QWidget> product = WindowSlot(WindowKind::Product);
    main_->spsalebillClick();
    QCOMPARE(FrontWorkingWindow(), WindowSlot(WindowKind::SaleBill).data());
    main_->nproduct->trigger();
    QCOMPARE(WindowSlot(WindowKind::Product).data(), product.data());
    QCOMPARE(FrontWorkingWindow(), product.data());
  }

  void aShowingFloatingPickerInTheProductSlotIsBroughtForward() {
    ShowMain();
    QWidget picker;  // the sale bill's floating product picker
    picker.setWindowTitle(QStringLiteral("电缆产品库"));
    picker.resize(300, 200);
    picker.show();
    WindowSlot(WindowKind::Product) = &picker;
    main_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main_.get()));
    main_->nproduct->trigger();
    QCOMPARE(WindowSlot(WindowKind::Product).data(), &picker);
    QVERIFY(main_->pContent->findChildren<QWidget*>("frmProduct").isEmpty());
    QTRY_VERIFY(picker.isActiveWindow());
    WindowSlot(WindowKind::Product) = nullptr;
  }

  void aClosedWorkingWindowReopensFresh() {
    ShowMain();
    main_->ncustomer->trigger();
    QPointer<QWidget> first = WindowSlot(WindowKind::Customer);
    first->setProperty("touched", true);
    first->findChild<QPushButton*>("sbclose")->click();
    QVERIFY(first->isHidden());
    QCOMPARE(FrontWorkingWindow(), WindowSlot(WindowKind::SaleBill).data());

    main_->ncustomer->trigger();
    QWidget* second = WindowSlot(WindowKind::Customer);
    QVERIFY(second);
    QVERIFY(second->isVisible());
    QVERIFY(!second->property("touched").isValid());
    QCOMPARE(FrontWorkingWindow(), second);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());  // the closed one is released
    QCOMPARE(main_->pContent->findChildren<QWidget*>("frmCustomer", Qt::FindDirectChildrenOnly).size(), 1);
  }

  void workingWindowsFollowTheContentPaneSize() {
    ShowMain();
    main_->resize(main_->width() + 100, main_->height() + 80);
    QTRY_COMPARE(WindowSlot(WindowKind::SaleBill)->geometry(), main_->pContent->rect());
  }

  void functionKeysActOnTheSaleBillBehindAnotherWindow_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("button");
    QTest::newRow("F2 new bill") << int(Qt::Key_F2) << "spnewbill";
    QTest::newRow("F3 save") << int(Qt::Key_F3) << "spsavebill";
    QTest::newRow("F7 preview") << int(Qt::Key_F7) << "sppreviewbill";
    QTest::newRow("F8 print") << int(Qt::Key_F8) << "sbprintbill";
  }

  void functionKeysActOnTheSaleBillBehindAnotherWindow() {
    QFETCH(int, key);
    QFETCH(QString, button);
    MessageAnswers answers;  // saving an empty bill says so in a message box
    ShowMain();
    QWidget* bill = WindowSlot(WindowKind::SaleBill);
    QSignalSpy clicked(bill->findChild<QAbstractButton*>(button), &QAbstractButton::clicked);
    main_->nproduct->trigger();
    QWidget* product = WindowSlot(WindowKind::Product);
    QCOMPARE(FrontWorkingWindow(), product);
    QWidget* focused = product->findChild<QPushButton*>("sbclose");
    focused->setFocus();
    QCOMPARE(QApplication::focusWidget(), focused);
    QTest::keyClick(focused, static_cast<Qt::Key>(key), Qt::ShiftModifier);
    QCOMPARE(clicked.count(), 1);
    QVERIFY(product->isVisible());
  }

  void f9PutsTheFocusIntoTheBillSearch() {
    ShowMain();
    QWidget* bill = WindowSlot(WindowKind::SaleBill);
    main_->ncustomer->trigger();
    QWidget* focused = WindowSlot(WindowKind::Customer)->findChild<QPushButton*>("sbclose");
    focused->setFocus();
    QTest::keyClick(focused, Qt::Key_F9);
    QCOMPARE(QApplication::focusWidget(), bill->findChild<QLineEdit*>("edsearch"));
  }

  void functionKeysDoNothingWithoutASaleBill() {
    ShowMain();
    QWidget* bill = WindowSlot(WindowKind::SaleBill);
    QSignalSpy clicked(bill->findChild<QAbstractButton*>("spnewbill"), &QAbstractButton::clicked);
    bill->close();
    main_->nlinker->trigger();
    QWidget* focused = WindowSlot(WindowKind::Linker)->findChild<QPushButton*>("sbclose");
    focused->setFocus();
    QTest::keyClick(focused, Qt::Key_F2);
    QCOMPARE(clicked.count(), 0);
  }

  void enterOutsideAGridMovesOnAndStillReachesTheControl() {
    ShowMain();
    auto* search = WindowSlot(WindowKind::SaleBill)->findChild<QLineEdit*>("edsearch");
    search->setFocus();
    QSignalSpy returned(search, &QLineEdit::returnPressed);
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(returned.count(), 1);
    QVERIFY(QApplication::focusWidget() != search);
    QVERIFY(QApplication::focusWidget());
  }

  void enterInAGridMovesRightOverHiddenColumns_data() {
    QTest::addColumn<QList<int>>("widths");
    QTest::addColumn<int>("startCol");
    QTest::addColumn<int>("expectedCol");
    QTest::newRow("next visible") << QList<int>{30, 60, 60, 60, 60, 60} << 1 << 2;
    QTest::newRow("skips width 0 and 4") << QList<int>{30, 60, 0, 4, 60, 60} << 1 << 4;
    QTest::newRow("width 5 is visible") << QList<int>{30, 60, 5, 60, 60, 60} << 1 << 2;
    QTest::newRow("hidden to the end stops on the last") << QList<int>{30, 60, 60, 0, 3, 0} << 2 << 5;
  }

  void enterInAGridMovesRightOverHiddenColumns() {
    QFETCH(QList<int>, widths);
    QFETCH(int, startCol);
    QFETCH(int, expectedCol);
    ShowMain();
    velmor::StringGrid* grid = MakeFocusedGrid(widths, 4);
    grid->setCurrentCell(startCol, 2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(grid->col(), expectedCol);
    QCOMPARE(grid->row(), 2);
    QCOMPARE(grid->rowCount(), 4);
    QCOMPARE(QApplication::focusWidget(), grid);  // consumed: the focus stays
  }

  void enterOnTheLastColumnGoesToTheNextRow() {
    ShowMain();
    velmor::StringGrid* grid = MakeFocusedGrid({30, 60, 60, 60, 60, 60, 60}, 4);
    grid->setCurrentCell(6, 1);
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(grid->row(), 2);
    QCOMPARE(grid->col(), 4);
    QCOMPARE(grid->rowCount(), 4);
  }

  void enterOnTheLastCellAddsANumberedRow() {
    ShowMain();
    velmor::StringGrid* grid = MakeFocusedGrid({30, 60, 60, 60, 60, 60, 60}, 3);
    grid->setCell(0, 1, "7");
    grid->setCell(0, 2, "");
    grid->setCell(3, 2, "kept");
    grid->setCurrentCell(6, 2);
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(grid->rowCount(), 4);
    QCOMPARE(grid->row(), 3);
    QCOMPARE(grid->col(), 4);
    QCOMPARE(grid->cell(0, 1), QStringLiteral("1"));
    QCOMPARE(grid->cell(0, 2), QStringLiteral("2"));
    QCOMPARE(grid->cell(0, 3), QStringLiteral("3"));
    QCOMPARE(grid->cell(3, 2), QStringLiteral("kept"));
  }

  void enterOnTheLastCellAddsTheRowAboveTheFooter() {
    ShowMain();
    velmor::StringGrid* grid = MakeFocusedGrid({30, 60, 60, 60, 60, 60}, 4);
    grid->setFooterVisible(true);
    const int rowsBefore = grid->rowCount();
    const int lastLine = grid->lastDataRow();
    grid->setCurrentCell(5, lastLine);
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(grid->rowCount(), rowsBefore + 1);
    QCOMPARE(grid->row(), lastLine + 1);
    QCOMPARE(grid->footerRow(), grid->rowCount() - 1);
    QCOMPARE(grid->cell(0, lastLine + 1), QString::number(lastLine + 1));
  }

  void enterInAnOpenCellEditorCommitsAndMoves() {
    ShowMain();
    velmor::StringGrid* grid = MakeFocusedGrid({30, 60, 60, 60, 60, 60}, 3);
    grid->setEditable(true);
    grid->GetEditorType = [](int, int) { return velmor::EditorType::Edit; };
    grid->setCurrentCell(2, 1);
    QVERIFY(grid->startEdit());
    auto* editor = qobject_cast<QLineEdit*>(grid->editor());
    QVERIFY(editor);
    editor->setFocus();
    editor->setText("typed");
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(grid->cell(2, 1), QStringLiteral("typed"));
    QCOMPARE(grid->col(), 3);
  }

  void exitQuestionNoKeepsTheProgramYesCloses() {
    ShowMain();
    SysParas.SystemName = QStringLiteral("Velmor电缆销售开单系统");
    {
      MessageAnswers answers({QMessageBox::No});
      main_->nexit->trigger();
      QVERIFY(main_->isVisible());
      QCOMPARE(answers.Asked().size(), 1);
      const velmor::MessageRequest& asked = answers.Asked().first();
      QCOMPARE(asked.text, QStringLiteral("确实要退出【Velmor电缆销售开单系统】吗？"));
      QCOMPARE(asked.title, QStringLiteral("Velmor科技"));
      QCOMPARE(asked.icon, velmor::MsgIcon::None);
      QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
    }
    MessageAnswers answers({QMessageBox::Yes});
    QVERIFY(main_->close());
    QVERIFY(!main_->isVisible());
    QCOMPARE(answers.Asked().size(), 1);
  }

  void doubleClickOnTheTopStripTogglesTheNavigation() {
    ShowMain();
    QTest::mouseClick(main_->pllll, Qt::LeftButton, {}, QPoint(300, 10));
    QVERIFY(main_->PLNAVI->isVisible());
    QTest::mouseDClick(main_->pllll, Qt::LeftButton, {}, QPoint(300, 10));
    QVERIFY(main_->PLNAVI->isHidden());
    QTest::mouseDClick(main_->pllll, Qt::LeftButton, {}, QPoint(300, 10));
    QVERIFY(main_->PLNAVI->isVisible());
  }

  void bannerAdvertAndDiscussionOpenTheBrowser() {
    ShowMain();
    UrlRecorder browser;
    QDesktopServices::setUrlHandler("https", &browser, "Open");
    QTest::mouseClick(main_->lad2, Qt::LeftButton);
    QTest::mouseClick(main_->lad1, Qt::LeftButton);
    main_->nonline->trigger();
    main_->nhelp->trigger();  // no action
    QDesktopServices::unsetUrlHandler("https");
    QCOMPARE(browser.opened, (QList<QUrl>{QUrl(kMakerWebSite), QUrl(kMakerWebSite), QUrl(kDiscussionPage)}));
  }

  void calculatorStartsFromTheProgramDirectory() {
    QTemporaryDir appDir;
    QVERIFY(appDir.isValid());
    const QString marker = appDir.filePath("calc-ran");
    {
      QFile calc(appDir.filePath("calc"));
      QVERIFY(calc.open(QIODevice::WriteOnly));
      calc.write(QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(marker).toUtf8());
      calc.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    SysParas.AppDir = appDir.path() + "/";
    MessageAnswers answers;
    main_->ncalc->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);

    QFile::remove(appDir.filePath("calc"));
    QFile::remove(marker);
    main_->ncalc->trigger();  // missing: no message
    QTest::qWait(200);
    QVERIFY(!QFile::exists(marker));
    QVERIFY(answers.Asked().isEmpty());
  }

  void modalWindowsOpenWithTheirCaption_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("caption");
    QTest::newRow("nsyssetting") << "nsyssetting" << "系统设置";
    QTest::newRow("ncable") << "ncable" << "线缆知识";
    QTest::newRow("spcable") << "spcable" << "线缆知识";
    QTest::newRow("nABOUT") << "nABOUT" << "关于";
  }

  void modalWindowsOpenWithTheirCaption() {
    QFETCH(QString, action);
    QFETCH(QString, caption);
    ShowMain();
    QString shown;
    bool modal = false;
    QTimer::singleShot(0, this, [&] {
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        shown = dialog->windowTitle();
        modal = dialog->isModal();
        dialog->accept();
      }
    });
    if (auto* button = main_->findChild<QToolButton*>(action)) {
      button->click();
    } else {
      main_->findChild<QAction*>(action)->trigger();
    }
    QCOMPARE(shown, caption);
    QVERIFY(modal);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(main_->findChildren<QDialog*>().isEmpty());  // created anew per use
  }

  void reportEngineIsRegisteredWhenItCanBeCreated() {
    SetReportEngineFactory(nullptr);
    QVERIFY(!IsReportEngineRegistered());
    int created = 0;
    SetReportEngineFactory([&created] {
      ++created;
      return std::make_unique<QObject>();
    });
    QVERIFY(IsReportEngineRegistered());
    QCOMPARE(created, 1);
    SetReportEngineFactory([]() -> std::unique_ptr<QObject> { throw std::runtime_error("no engine"); });
    QVERIFY(!IsReportEngineRegistered());
    SetReportEngineFactory(nullptr);
  }

  void registeringALibraryWithoutItsEntryFails() {
    QVERIFY(!RegisterComServer(QString(), true));
    QVERIFY(!RegisterComServer("/nonexistent/rpteng.so", true));
    // A real library that loads but has no registration entries.
    const QString zlib = "libz.so.1";
    QVERIFY(!RegisterComServer(zlib, true));
    QVERIFY(!RegisterComServer(zlib, false));
  }
};

QTEST_MAIN(TestMain)
#include "test_main.moc"
