#include "app/sondarykapplication.h"

#include "ui/appearance.h"
#include "ui/guarded.h"

SondarykApplication::SondarykApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setUp(*this);
}

bool SondarykApplication::notify(QObject *receiver, QEvent *event)
{
    bool result = false;
    guarded([&] { result = QApplication::notify(receiver, event); });
    return result;
}

void SondarykApplication::setUp(QApplication &application)
{
    applyProgramLook(application);
}
