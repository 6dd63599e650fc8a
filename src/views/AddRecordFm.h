#pragma once

#include <QWidget>
#include <functional>

class Connection;
class DatePicker;
class QComboBox;
class QLineEdit;
class QPushButton;

// What tells the add-payout dialog from the add-income dialog.
struct AddRecordKind
{
    const char *objectName;
    QString caption;
    QString categoryLabel;
    QString amountLabel;
    QString categorySql;   // the category list, highest number first
    QString categoryField;
    QString insertHead;    // "Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values("
    bool pickerWalks;      // Enter or Down in the date picker moves on
    bool incomeTabOrder;   // amount, note, OK, Cancel, category, date
    QPoint designedPlace;  // null: centred on the screen
    QSize outerSize;
};

// One dialog to enter one record: the date, a category from the list, the
// amount and a note. Not modal; OK inserts the record and refreshes its list.
class AddRecordFm : public QWidget
{
    Q_OBJECT
public:
    AddRecordFm(const AddRecordKind &kind, QWidget *parent = nullptr);

    // Called by the main window once the data module exists.
    void setConnection(Connection *connection) { m_connection = connection; }
    void setListRefresh(std::function<void()> refresh) { m_listRefresh = std::move(refresh); }

    // Prepares and shows the dialog for the selected date's box texts.
    // Raises on failure, leaving the dialog as it was or hidden.
    void prepareAndShow(const QString &year, const QString &month, const QString &day);

    // The statement that OK sends for the boxes' current contents.
    QString insertStatement() const;

    void Button1Click(); // OK; raises on failure and stays open
    void Button2Click(); // Cancel

    DatePicker *DateTimePicker1;
    QComboBox *ComboBox1;
    QLineEdit *Edit3;
    QLineEdit *Edit4;
    QPushButton *Button1;
    QPushButton *Button2;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void keyReleased(QObject *watched, int key);

    const AddRecordKind &m_kind;
    Connection *m_connection = nullptr;
    std::function<void()> m_listRefresh;
};
