// The class trees of the customer, contact and product windows and the
// knowledge index, filled from their tables.
#include <QTreeWidget>

#include "KrxQuery.h"
#include "uniFunction.h"

namespace {

// A tree node that owns the record it stands for, so the record lives
// exactly as long as the node.
class TBasesNode : public QTreeWidgetItem {
 public:
  TBasesNode(TBases bases, int image, int selectedImage)
      : QTreeWidgetItem(QStringList{bases.Caption}), bases_(std::move(bases)) {
    setData(0, kImageIndexRole, image);
    setData(0, kSelectedImageIndexRole, selectedImage);
    setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
  }
  const TBases& Bases() const { return bases_; }

 private:
  TBases bases_;
};

constexpr int kClassImage = 0;
constexpr int kClassSelectedImage = 1;
constexpr int kSubClassImage = 21;
constexpr int kSubClassSelectedImage = 22;

// How one loader reads its rows: the statement, the identifier and caption
// columns, and the table a node comes from (empty: the row's ftablename).
struct TreeSource {
  const char* sql;
  const char* idField;
  const char* captionField;
  const char* tableName;
  bool hasParent;
};

QString FieldText(krx::TKrxQuery& query, const char* name) {
  return QString::fromStdString(query.FieldByName(name).AsString());
}

// Runs `sql` and hands each row to `add`; the query is closed whatever
// happens, and the engine's error reaches the caller.
template <class AddRow>
void ForEachRow(krx::TKrxQuery& query, const QString& sql, AddRow add) {
  query.Close();
  query.SetSQLText(sql.toUtf8().toStdString());
  query.Open();
  struct Closer {
    krx::TKrxQuery& q;
    ~Closer() { q.Close(); }
  } closer{query};
  for (; !query.Eof(); query.Next()) add();
}

// Stops the tree's painting while it is filled.
struct UpdatesSuspended {
  explicit UpdatesSuspended(QTreeWidget* tree) : tree(tree) { tree->setUpdatesEnabled(false); }
  ~UpdatesSuspended() { tree->setUpdatesEnabled(true); }
  QTreeWidget* tree;
};

// The record of the query's current row.
TBases RowBases(krx::TKrxQuery& query, const TreeSource& source) {
  TBases bases;
  bases.ItemID = query.FieldByName(source.idField).AsInteger();
  bases.ParentID = source.hasParent ? query.FieldByName("FParentID").AsInteger() : 0;
  bases.Caption = FieldText(query, source.captionField);
  bases.TableName = source.tableName[0] != '\0' ? QString::fromUtf8(source.tableName) : FieldText(query, "ftablename");
  return bases;
}

void LoadTopLevel(krx::TKrxQuery& query, QTreeWidget* tree, const TreeSource& source) {
  UpdatesSuspended suspended(tree);
  tree->clear();
  ForEachRow(query, QString::fromUtf8(source.sql), [&] {
    tree->addTopLevelItem(new TBasesNode(RowBases(query, source), kClassImage, kClassSelectedImage));
  });
}

}  // namespace

const TBases* BasesOf(const QTreeWidgetItem* node) {
  const auto* bases = dynamic_cast<const TBasesNode*>(node);
  return bases ? &bases->Bases() : nullptr;
}

void LoadCustomerClassTree(krx::TKrxQuery& query, QTreeWidget* tree) {
  LoadTopLevel(query, tree,
               {" select * from picuslink where FHide=0 and FParentID=0 order by FIndex", "FItemID", "FName",
                "picuslink", true});
}

void LoadContactClassTree(krx::TKrxQuery& query, QTreeWidget* tree) {
  LoadTopLevel(query, tree,
               {" select * from piperlink where FHide=0 and FParentID=0 order by FIndex", "FItemID", "FName",
                "piperlink", true});
}

void LoadProductClassTree(krx::TKrxQuery& query, QTreeWidget* tree) {
  LoadTopLevel(query, tree,
               {" select * from cqproductclass where FHide=0 and FParentID=0 order by FIndex", "FClassID", "FName",
                "cqproductclass", true});
}

void LoadKnowledgeTree(krx::TKrxQuery& query, QTreeWidget* tree) {
  LoadTopLevel(query, tree,
               {" select * from piknowledgeindex where FHide=0 order by FIndex", "FItemID", "FCaption", "", false});
}

void LoadProductSubClasses(krx::TKrxQuery& query, QTreeWidget* tree, QTreeWidgetItem* node) {
  if (node == nullptr) return;
  UpdatesSuspended suspended(tree);
  QTreeWidgetItem* parent = node->parent();
  const int first = parent ? parent->indexOfChild(node) : tree->indexOfTopLevelItem(node);
  const int count = parent ? parent->childCount() : tree->topLevelItemCount();
  for (int i = first; i < count; ++i) {
    QTreeWidgetItem* major = parent ? parent->child(i) : tree->topLevelItem(i);
    const TBases* bases = BasesOf(major);
    if (bases == nullptr || bases->ParentID != 0 || major->childCount() > 0) continue;
    ForEachRow(query,
               QStringLiteral(" select * from cqproductclass where FHide=0 and FParentID= ") +
                   QString::number(bases->ItemID) + QStringLiteral(" order by FIndex"),
               [&] {
                 major->addChild(new TBasesNode(RowBases(query, {"", "FClassID", "FName", "cqproductclass", true}),
                                                kSubClassImage, kSubClassSelectedImage));
                 major->setExpanded(true);
               });
  }
}
