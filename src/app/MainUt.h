#pragma once

#include <QMainWindow>
#include <memory>

class AddRecordFm;
class CategoryLists;
class DataGrid;
class DateSelector;
class DatePicker;
class DBChart;
class LinkLabel;
class MonthCalendar;
class QAction;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class Query;
class QueryTableModel;
class RecordList;
class RecordSearchFm;
class SelectorBox;
class StatisticsView;
class TDataModule1;
struct PeriodControls;

// The main window: the date selector strip, the four tabs with their grids and
// buttons, the menu and the status bar. Controls keep their design names.
class TMainFm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMainFm(QWidget *parent = nullptr);
    ~TMainFm() override;

    // Connects the window to the data module and to the windows it shows;
    // called once all nine objects of the window set exist.
    void attach(TDataModule1 *module, AddRecordFm *payoutAdd, AddRecordFm *incomeAdd, QWidget *about, QWidget *help,
                QWidget *update, RecordSearchFm *payoutSearch, RecordSearchFm *incomeSearch);

    PeriodControls periodControls() const;

    // Top strip
    QFrame *Panel3;
    QGroupBox *GroupBox2;
    SelectorBox *ComboBox1;
    SelectorBox *ComboBox2;
    SelectorBox *ComboBox3;
    QPushButton *Button1;
    QPushButton *Button2;
    QPushButton *Button3;
    QGroupBox *GroupBox1;
    QRadioButton *RadioButton1;
    QRadioButton *RadioButton2;
    QRadioButton *RadioButton3;
    QRadioButton *RadioButton4;
    DatePicker *DateTimePicker1;
    DatePicker *DateTimePicker2;
    MonthCalendar *Calendar1;
    QFrame *Panel4;
    LinkLabel *Label13;
    LinkLabel *Label12;

    // Tabs
    QTabWidget *PageControl1;
    QWidget *TabSheet1;
    QWidget *TabSheet2;
    QWidget *TabSheetTJ;
    QWidget *TabSheetSZ;
    DataGrid *DBGridSR;
    DataGrid *DBGridZC;
    DataGrid *DBGridSRTJ;
    DataGrid *DBGridZCTJ;
    DataGrid *DBGridSRLB;
    DataGrid *DBGridZCLB;
    QPushButton *BitBtn1, *BitBtn2, *BitBtn3, *BitBtn4;
    QPushButton *BitBtn5, *BitBtn6, *BitBtn7, *BitBtn8;
    QFrame *Panel10;
    QFrame *Panel8;
    QFrame *Panel9;
    QLineEdit *Edit1;
    QLineEdit *Edit2;
    QLineEdit *Edit3;
    DBChart *DBChartJSR;
    QPushButton *BitBtnTJ;
    QGroupBox *GroupBox8;
    QGroupBox *GroupBox9;
    QPushButton *BitBtn9;
    QPushButton *BitBtn10, *BitBtn11, *BitBtn12, *BitBtn13;
    QPushButton *BitBtn14, *BitBtn15, *BitBtn16, *BitBtn17;

    // Menu
    QAction *i1, *N3, *T1, *S1, *E1, *L1, *A1, *U1;

    QStatusBar *StatusBar1;

    // Handlers
    void FormShow();
    void FormResize();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void BitBtn7Click();
    void BitBtn8Click();
    void BitBtn9Click();
    void BitBtnTJClick();
    void Label13Click();
    void Label12Click();
    void DBGridSRTJDblClick();
    void DBGridZCTJDblClick();
    void DBGridSRTitleClick(int column);
    void DBGridZCTitleClick(int column);
    void DBGridSRLBTitleClick(int column);
    void DBGridZCLBTitleClick(int column);
    void DBGridSRTJTitleClick(int column);
    void DBGridZCTJTitleClick(int column);

    QString statusText() const;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildTopStrip();
    void buildMenu();
    void bindGrids();
    void connectHandlers();
    void refreshAll();
    void tabShown(int index);
    void drillDown(Query &statistics, RecordSearchFm *detail);
    void sortGrid(DataGrid *grid, Query &query, int column);

    TDataModule1 *m_module = nullptr;
    AddRecordFm *m_payoutAdd = nullptr;
    AddRecordFm *m_incomeAdd = nullptr;
    QWidget *m_about = nullptr;
    QWidget *m_help = nullptr;
    QWidget *m_update = nullptr;
    RecordSearchFm *m_payoutSearch = nullptr;
    RecordSearchFm *m_incomeSearch = nullptr;
    bool m_shown = false;
    std::unique_ptr<DateSelector> m_dateSelector;
    std::unique_ptr<RecordList> m_payoutList;
    std::unique_ptr<RecordList> m_incomeList;
    std::unique_ptr<StatisticsView> m_statistics;
    std::unique_ptr<CategoryLists> m_categories;
};
