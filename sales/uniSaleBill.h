// The sale (delivery) bill window: a header of texts, a line grid in which
// amounts follow quantity × price and quantities follow the colour
// quantities, a totals bar with the amount in capital numerals, and the
// floating panel with the last prices of the line's product.
//
// The window sits maximised in the main window's content pane, or is shown
// modal on its own by the windows that open a stored bill (BillInterID set
// first). The catalogue picker hands it products by posting a
// TAddProductEvent.
#pragma once

#include <QEvent>
#include <QPoint>
#include <QString>
#include <QWidget>

class QComboBox;
class QDateEdit;
class QEventLoop;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class QAction;

namespace krx {
class TKrxQuery;
}
namespace salebill {
struct ListQuery;
}
namespace velmor {
class StringGrid;
enum class EditorType;
}

// Posted to the bill window with the FModelID of a catalogue product; the
// window puts the product into its next free line.
inline constexpr QEvent::Type WM_ADDPRODUCT = static_cast<QEvent::Type>(QEvent::User + 2002);

class TAddProductEvent : public QEvent {
 public:
  explicit TAddProductEvent(int modelId) : QEvent(WM_ADDPRODUCT), FModelID(modelId) {}
  const int FModelID;
};

// Posts WM_ADDPRODUCT for the product to the bill window (handled when the
// window's event loop reaches it, in posting order).
void PostAddProduct(QObject* billWindow, int modelId);

class TfrmSaleBill : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString BillInterID MEMBER BillInterID)

 public:
  // Grid columns by position; the stored layout of cqsalebill lists them in
  // this order.
  enum Column {
    ColLineNo = 0,
    ColInterID = 1,
    ColEntryID = 2,
    ColBianma = 3,
    ColName = 4,
    ColXinghao = 5,
    ColGuige = 6,
    ColColor = 7,
    ColPack = 8,
    ColQty = 9,
    ColUnit = 10,
    ColPrice = 11,
    ColAmount = 12,
    ColFirstColour = 13,
    ColLastColour = 22,
    ColDescription = 23,
  };

  // The window reads and writes through the data module's KrxQ1 and, for
  // the shared list routines, KrxQ2; without them it works on its own
  // cells only (no lists, numbers or storing).
  explicit TfrmSaleBill(QWidget* parent = nullptr, krx::TKrxQuery* KrxQ1 = nullptr, krx::TKrxQuery* KrxQ2 = nullptr);
  ~TfrmSaleBill() override;

  // The FInterID of the bill shown as decimal text; "0" for a new bill.
  QString BillInterID = QStringLiteral("0");

  // Shows the window on its own, centred and resizable, and returns when
  // the user closed it.
  void ShowModal();

  void FormShow();
  void FormResize();
  void UpdateBillTotals();

  void spnewbillClick();
  void spsavebillClick();
  // Checks and stores the bill; true when it was stored.
  bool SaveBill();
  // Fills header and lines from the stored rows of BillInterID.
  void LoadBill();
  void edcsExit();
  // Puts the catalogue product into the next free line.
  void AddProductLine(int modelId);
  void sbsearchClick();
  void edsearchChange();
  void ShowPriceHistory(const QString& model, const QString& spec);
  void advgridDblClickCell(int ARow, int ACol);
  void sbddrowClick();
  void sbdelrowClick();
  void sbmoveupClick();
  void sbmovedownClick();
  void sbexcelClick();
  void spselectproductClick();

  velmor::EditorType advgridGetEditorType(int ACol, int ARow);
  Qt::Alignment advgridGetAlignment(int ACol, int ARow) const;
  // Rewrites Value where the column asks for it and fills the dependent
  // cells; false only when a number in the line cannot be read.
  bool advgridCellValidate(int ACol, int ARow, QString& Value);

  // The function keys and Enter, as the window handles them when it is the
  // active window itself; true when the key was consumed.
  bool FormKeyDown(int key);
  bool FormKeyPress(int key);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void customEvent(QEvent* event) override;

 private:
  void BuildTitleBar();
  void BuildHeaderPanel();
  void BuildFunctionBar();
  void BuildLineGrid();
  void BuildTotalsBar();
  void BuildBottomBar();
  void BuildPricePanel();
  void PrepareLineGridHeader();
  void SetTitle(bool editing);
  QStringList ReadList(const salebill::ListQuery& list);
  void FillList(QComboBox* box, const salebill::ListQuery& list);
  void FillHeaderLists();
  void FillColumnList(int col, int row);
  bool LoadLineGridLayout();
  QString NextBillNumber();
  void ShowPriceHistoryOfRow(int row);
  void ApplySearchMode();

  krx::TKrxQuery* KrxQ1 = nullptr;
  krx::TKrxQuery* KrxQ2 = nullptr;

  QWidget* pResult = nullptr;
  QLabel* lTitle = nullptr;
  QMenu* pm = nullptr;
  QAction* N1 = nullptr;
  QToolButton* spnewbill = nullptr;
  QToolButton* spsavebill = nullptr;
  QToolButton* sppreviewbill = nullptr;
  QToolButton* sbprintbill = nullptr;

  QWidget* pHeader = nullptr;
  QComboBox* edcs = nullptr;
  QComboBox* edaddress = nullptr;
  QLineEdit* edchepai = nullptr;
  QLineEdit* edcontractno = nullptr;
  QLineEdit* edmemo = nullptr;
  QLineEdit* edBillNo = nullptr;
  QDateEdit* eddate = nullptr;

  QWidget* Panel6 = nullptr;
  QToolButton* spselectproduct = nullptr;
  QLabel* lsearch = nullptr;
  QLineEdit* edsearch = nullptr;
  QToolButton* sbsearch = nullptr;
  QToolButton* sbddrow = nullptr;
  QToolButton* sbdelrow = nullptr;
  QToolButton* sbmoveup = nullptr;
  QToolButton* sbmovedown = nullptr;
  QToolButton* sbexcel = nullptr;

  velmor::StringGrid* advgrid = nullptr;

  QWidget* pjinqijiage = nullptr;
  velmor::StringGrid* gridprice = nullptr;

  QWidget* pbuttom = nullptr;
  QLabel* pqty = nullptr;
  QLabel* pamount = nullptr;
  QWidget* pdaxieparent = nullptr;
  QLabel* pdaxie = nullptr;

  QWidget* pfunction = nullptr;
  QComboBox* edzhidan = nullptr;
  QComboBox* edjingshou = nullptr;
  QComboBox* edyewuyuan = nullptr;
  QComboBox* edfukuan = nullptr;

  QEventLoop* modalLoop_ = nullptr;  // while ShowModal waits
  QPoint priceGrab_;                 // where the price panel's caption was taken
  bool keysWatched_ = false;         // the application's keys pass eventFilter
};
