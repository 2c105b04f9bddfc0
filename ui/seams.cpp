#include "ui/seams.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QPagedPaintDevice>
#include <QPrinter>
#include <QPrinterInfo>

#include <memory>

namespace ui {

FolderChooser folderChooser = [](QWidget *owner, const QString &title, const QString &start) {
    return QFileDialog::getExistingDirectory(owner, title, start,
                                             QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
};

FileChooser fileChooser = [](QWidget *owner, const QString &title, const QString &start,
                             const QString &filter) {
    return QFileDialog::getOpenFileName(owner, title, start, filter, nullptr,
                                        QFileDialog::DontUseNativeDialog);
};

SaveFileChooser saveFileChooser = [](QWidget *owner, const QString &title, const QString &start,
                                     const QString &filter) {
    return QFileDialog::getSaveFileName(owner, title, start, filter, nullptr,
                                        QFileDialog::DontUseNativeDialog);
};

PrinterSource printerSource = [] { return systemPrinter(); };

namespace {

// Keeps the system's printer alive as long as the application, and no longer.
class PrinterHolder : public QObject
{
public:
    using QObject::QObject;
    std::unique_ptr<QPrinter> printer;
};

} // namespace

QPrinter *systemPrinter()
{
    static PrinterHolder *holder = nullptr;
    if (!holder) {
        holder = new PrinterHolder(QCoreApplication::instance());
        QObject::connect(holder, &QObject::destroyed, [] { holder = nullptr; });
    }
    if (!holder->printer) {
        QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            info = QPrinterInfo::availablePrinters().value(0);
        if (info.isNull())
            return nullptr;
        holder->printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    return holder->printer.get();
}

PageLayoutGuard::PageLayoutGuard(QPagedPaintDevice *device) : m_device(device), m_layout(device->pageLayout())
{}

PageLayoutGuard::~PageLayoutGuard()
{
    m_device->setPageLayout(m_layout);
}

} // namespace ui
