#pragma once

#include "PlainTextWindow.h"

class QStatusBar;

// The help window: what the program needs and how to use it. Its on-show
// layout step reports a failure in the main window's status bar.
class THelpFm : public PlainTextWindow
{
    Q_OBJECT
public:
    explicit THelpFm(QStatusBar *mainStatusBar, QWidget *parent = nullptr);

    QPushButton *BitBtn2;

    void FormShow();

protected:
    void showEvent(QShowEvent *event) override;
    // Makes the text box fill the whole area above the bottom strip.
    virtual void fitMemo();

private:
    QStatusBar *m_mainStatusBar;
};
