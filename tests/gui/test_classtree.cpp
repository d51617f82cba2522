// The class-tree loaders on a fresh initial database: what each puts into the
// tree, in which order, with which record and pictures, and that sub-classes
// are read once.
#include <QTreeWidget>
#include <QtTest>
#include <functional>

#include "ShellWindowsDatabase.h"
#include "uniFunction.h"

namespace {

// "caption|ItemID|ParentID|TableName|image|selected image" per top-level
// node, children indented below their node.
QStringList Describe(const QTreeWidget& tree) {
  QStringList lines;
  std::function<void(const QTreeWidgetItem*, const QString&)> walk = [&](const QTreeWidgetItem* node,
                                                                        const QString& indent) {
    const TBases* bases = BasesOf(node);
    lines << indent + QStringLiteral("%1|%2|%3|%4|%5|%6")
                          .arg(node->text(0))
                          .arg(bases ? bases->ItemID : -1)
                          .arg(bases ? bases->ParentID : -1)
                          .arg(bases ? bases->TableName : QString())
                          .arg(node->data(0, kImageIndexRole).toInt())
                          .arg(node->data(0, kSelectedImageIndexRole).toInt());
    for (int i = 0; i < node->childCount(); ++i) walk(node->child(i), indent + QStringLiteral("  "));
  };
  for (int i = 0; i < tree.topLevelItemCount(); ++i) walk(tree.topLevelItem(i), QString());
  return lines;
}

}  // namespace

class TestClassTree : public QObject {
  Q_OBJECT

 private slots:
  void classLoadersShowTheVisibleTopLevelRowsInOrder() {
    OPEN_SHELL_DATABASE(db);
    db.Exec("delete from picuslink");
    db.Exec("insert into picuslink(FParentID,FName,FHide,FIndex) values(0,'华北',0,2)");
    db.Exec("insert into picuslink(FParentID,FName,FHide,FIndex) values(0,'华东',0,1)");
    db.Exec("insert into picuslink(FParentID,FName,FHide,FIndex) values(0,'停用',1,3)");
    db.Exec("insert into picuslink(FParentID,FName,FHide,FIndex) values(2,'某客户',0,1)");
    db.Exec("insert into picuslink(FParentID,FName,FHide,FIndex) values(0,'O''Neil',0,4)");
    db.Exec("delete from piperlink");
    db.Exec("insert into piperlink(FParentID,FName,FHide,FIndex) values(0,'供应商',0,1)");

    QTreeWidget tree;
    tree.addTopLevelItem(new QTreeWidgetItem(QStringList{"旧节点"}));
    LoadCustomerClassTree(db.data.KrxQ2, &tree);
    const QStringList customers = Describe(tree);
    QCOMPARE(customers.size(), 3);
    QVERIFY(customers[0].startsWith("华东|"));
    QVERIFY(customers[0].endsWith("|0|picuslink|0|1"));
    QVERIFY(customers[1].startsWith("华北|"));
    QVERIFY(customers[2].startsWith("O'Neil|"));
    QVERIFY(!db.data.KrxQ2.Active());
    QCOMPARE(tree.topLevelItem(0)->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);

    LoadContactClassTree(db.data.KrxQ2, &tree);
    QCOMPARE(Describe(tree).size(), 1);
    QVERIFY(Describe(tree)[0].startsWith("供应商|"));
    QVERIFY(Describe(tree)[0].endsWith("|0|piperlink|0|1"));
  }

  void knowledgeNodesNameTheirOwnTables() {
    OPEN_SHELL_DATABASE(db);
    db.Exec("delete from piknowledgeindex");
    db.Exec("insert into piknowledgeindex(FItemID,FCaption,ftablename,FHide,FIndex) values(7,'颜色','kn_colours',0,2)");
    db.Exec("insert into piknowledgeindex(FItemID,FCaption,ftablename,FHide,FIndex) values(3,'电阻','kn_resistance',0,1)");
    db.Exec("insert into piknowledgeindex(FItemID,FCaption,ftablename,FHide,FIndex) values(9,'旧表','kn_old',1,3)");
    QTreeWidget tree;
    LoadKnowledgeTree(db.data.KrxQ2, &tree);
    QCOMPARE(Describe(tree), QStringList({"电阻|3|0|kn_resistance|0|1", "颜色|7|0|kn_colours|0|1"}));
  }

  void subClassesAreReadOnceUnderEachMajorClassFromTheGivenOne() {
    OPEN_SHELL_DATABASE(db);
    db.Exec("delete from cqproductclass");
    for (const char* row : {"1,0,'电力电缆',0,1", "2,0,'电线',0,2", "3,0,'控制电缆',0,3", "11,1,'YJV',0,1",
                            "12,1,'VV',0,2", "13,1,'停产',1,3", "21,2,'BV',0,1", "31,3,'KVV',0,1"})
      db.Exec(QStringLiteral("insert into cqproductclass(FClassID,FParentID,FName,FHide,FIndex) values(%1)")
                  .arg(QString::fromUtf8(row)));
    QTreeWidget tree;
    LoadProductClassTree(db.data.KrxQ2, &tree);
    QCOMPARE(Describe(tree), QStringList({"电力电缆|1|0|cqproductclass|0|1", "电线|2|0|cqproductclass|0|1",
                                          "控制电缆|3|0|cqproductclass|0|1"}));

    // From the second major class on: the first one is left as it is.
    LoadProductSubClasses(db.data.KrxQ2, &tree, tree.topLevelItem(1));
    QCOMPARE(tree.topLevelItem(0)->childCount(), 0);
    LoadProductSubClasses(db.data.KrxQ2, &tree, tree.topLevelItem(0));
    const QStringList loaded = {"电力电缆|1|0|cqproductclass|0|1",
                                "  YJV|11|1|cqproductclass|21|22",
                                "  VV|12|1|cqproductclass|21|22",
                                "电线|2|0|cqproductclass|0|1",
                                "  BV|21|2|cqproductclass|21|22",
                                "控制电缆|3|0|cqproductclass|0|1",
                                "  KVV|31|3|cqproductclass|21|22"};
    QCOMPARE(Describe(tree), loaded);  // the classes already there are not doubled
    QVERIFY(tree.topLevelItem(0)->isExpanded());
    QVERIFY(!db.data.KrxQ2.Active());

    // A major class emptied by hand is read again.
    delete tree.topLevelItem(0)->takeChild(0);
    delete tree.topLevelItem(0)->takeChild(0);
    LoadProductSubClasses(db.data.KrxQ2, &tree, tree.topLevelItem(0));
    QCOMPARE(Describe(tree), loaded);
  }

  void aQueryErrorReachesTheCaller() {
    OPEN_SHELL_DATABASE(db);
    db.Exec("DROP TABLE piperlink");
    QTreeWidget tree;
    QVERIFY_THROWS_EXCEPTION(krx::EKrxException, LoadContactClassTree(db.data.KrxQ2, &tree));
    QVERIFY(!db.data.KrxQ2.Active());
  }
};

QTEST_MAIN(TestClassTree)
#include "test_classtree.moc"
