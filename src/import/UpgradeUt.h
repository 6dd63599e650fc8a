#pragma once

#include "OpenDialog.h"

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QStatusBar;

// The import window: brings an earlier data file's categories and records in.
// Not modal; closing it only hides it, and the check box keeps its state.
class TUpdateFm : public QWidget
{
    Q_OBJECT
public:
    // A failed run is reported in the main window's status bar.
    explicit TUpdateFm(QStatusBar *mainStatusBar, QWidget *parent = nullptr);

    QGroupBox *GroupBox1;
    QCheckBox *CheckBox1;
    QLabel *Label1;
    QLabel *Label2;
    QPushButton *BitBtn1;
    OpenDialog OpenDialog1;

    void BitBtn1Click();

private:
    QStatusBar *m_statusBar;
};
