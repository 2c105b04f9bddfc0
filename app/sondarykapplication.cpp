#include "app/sondarykapplication.h"

#include "ui/appearance.h"
#include "ui/guarded.h"

#include <malloc.h>

namespace {

void keepFreedMemory()
{
    // Each file zipped into a spreadsheet is compressed with a fresh quarter-megabyte of zlib's;
    // with glibc's small default trim threshold each free gave it back to the kernel and the next
    // file faulted it in again, which made a class page's Save twice as slow. Freed memory is now
    // kept for reuse up to a few megabytes.
    mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 16 * 1024 * 1024);
}

} // namespace

SondarykApplication::SondarykApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    keepFreedMemory();
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
