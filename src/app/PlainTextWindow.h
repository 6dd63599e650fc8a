#pragma once

#include <QPoint>
#include <QSize>
#include <QStringList>
#include <QWidget>

class QFrame;
class QPlainTextEdit;
class QPushButton;

// What tells the about window from the help window.
struct PlainTextWindowDesign
{
    QString caption;
    QSize outerSize;          // frame included
    QStringList lines;
    int stripHeight;
    const char *buttonName;
    QPoint buttonPos;         // in the strip
    bool buttonFollowsRight;  // keeps its distance to the strip's right edge
};

// A window of fixed text above a bottom strip with one OK button. The text
// may be edited; closing the window (the button, Alt+O, the close box) only
// hides it, so typed text stays until the program ends and is never saved.
class PlainTextWindow : public QWidget
{
    Q_OBJECT
public:
    QPlainTextEdit *Memo1;
    QFrame *Panel1;

    void BitBtn1Click();

protected:
    PlainTextWindow(const PlainTextWindowDesign &design, QWidget *parent);

    QPushButton *okButton() const { return m_button; }
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeButton();

    QPushButton *m_button;
    QPoint m_buttonPos;
    int m_designWidth;
    bool m_buttonFollowsRight;
};
