#include "ui/appearance.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

// Pictures and icons live in a static library, whose resources must be registered by hand.
static void initResources()
{
    Q_INIT_RESOURCE(sondaryk);
}

void applyProgramLook(QApplication &application)
{
    initResources();
    QApplication::setApplicationName(QStringLiteral("Sondaryk"));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/sondaryk.png")));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    // The windows were laid out for an 8-point sans-serif font 11 pixels high.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    QApplication::setFont(font);

    // Polish texts on Qt's own buttons and dialogs ("Anuluj", "Tak", "Nie").
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    const QString path = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const QString &name : {QStringLiteral("qtbase_pl"), QStringLiteral("qt_pl")}) {
        auto *translator = new QTranslator(&application);
        if (translator->load(name, path))
            QApplication::installTranslator(translator);
        else
            delete translator;
    }
}
