#include "MainUt.h"
#include "WindowSet.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    setUpApplication();
    WindowSet windows;
    windows.MainFm->show();
    return app.exec();
}
