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
    explicit TUpdateFm(QWidget *parent = nullptr);

    // The main window, over which the window is centred and whose status bar
    // takes the error report.
    void attach(QWidget *mainWindow, QStatusBar *statusBar);

    QGroupBox *GroupBox1;
    QCheckBox *CheckBox1;
    QLabel *Label1;
    QLabel *Label2;
    QPushButton *BitBtn1;
    OpenDialog OpenDialog1;

    void BitBtn1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *m_mainWindow = nullptr;
    QStatusBar *m_statusBar = nullptr;
    bool m_placed = false;
};
