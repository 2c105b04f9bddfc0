// The application object: Polish texts, the program's font, and no exception past the event loop.
#pragma once

#include <QApplication>

class SondarykApplication : public QApplication
{
public:
    SondarykApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

    // Qt's own Polish translations and the program's look; used by tests too.
    static void setUp(QApplication &application);
};
