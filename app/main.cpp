// Sondaryk: records and analyses a school's results in the sixth-grade test.
#include "guarded.h"
#include "sondarykapplication.h"
#include "tfsondaryk.h"

int main(int argc, char *argv[])
{
    SondarykApplication application(argc, argv);
    int exitCode = 0;
    guarded([&] {
        fSondaryk = new TfSondaryk;
        if (!fSondaryk->FormCreate())
            return;
        fSondaryk->show();
        application.exec();
    });
    delete fSondaryk;
    fSondaryk = nullptr;
    return exitCode;
}
