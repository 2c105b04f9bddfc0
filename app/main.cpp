// Sondaryk: records and analyses a school's results in the sixth-grade test.
#include "app/sondarykapplication.h"
#include "app/tfsondaryk.h"

#include <QHashSeed>

int main(int argc, char *argv[])
{
    // Qt orders the glyphs of a font it embeds in a PDF by hash: a fixed seed makes the same
    // analysis give the same file.
    QHashSeed::setDeterministicGlobalSeed();
    SondarykApplication application(argc, argv);
    return runSondaryk(application);
}
