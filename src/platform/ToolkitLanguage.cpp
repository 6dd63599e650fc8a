#include "ToolkitLanguage.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace {

QLocale chinese()
{
    return QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
}

} // namespace

void useChineseToolkitTexts()
{
    static QPointer<QTranslator> installed; // gone with the application that owned it
    if (installed)
        return;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(chinese(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
}

void useChineseWeeks(QCalendarWidget *calendar)
{
    calendar->setLocale(chinese());
    calendar->setFirstDayOfWeek(Qt::Sunday);
    calendar->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
}
