// The system's dialogs and devices a window asks for, each replaceable, so that tests answer them
// and no real dialog or printer is ever needed.
#pragma once

#include <QPageLayout>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace ui {

// The folder chooser: returns the chosen folder, or "" when cancelled.
using FolderChooser = std::function<QString(QWidget *owner, const QString &title, const QString &start)>;
extern FolderChooser folderChooser;

// The chooser of a file to open: returns the chosen file, or "" when cancelled.
using FileChooser =
    std::function<QString(QWidget *owner, const QString &title, const QString &start, const QString &filter)>;
extern FileChooser fileChooser;

// The chooser of a file to save: start is the folder with the proposed name; returns the chosen
// file, or "" when cancelled.
using SaveFileChooser =
    std::function<QString(QWidget *owner, const QString &title, const QString &start, const QString &filter)>;
extern SaveFileChooser saveFileChooser;

// The printer charts and the analysis are printed on; nullptr when the system has none.
using PrinterSource = std::function<QPrinter *()>;
extern PrinterSource printerSource;
// The system's default printer, made once and kept as long as the application, so that it keeps
// its settings from one print to the next.
QPrinter *systemPrinter();

// Puts a printer's (or a PDF writer's) page back as it was, however printing ends.
class PageLayoutGuard
{
public:
    explicit PageLayoutGuard(QPagedPaintDevice *device);
    ~PageLayoutGuard();
    PageLayoutGuard(const PageLayoutGuard &) = delete;
    PageLayoutGuard &operator=(const PageLayoutGuard &) = delete;

private:
    QPagedPaintDevice *m_device;
    QPageLayout m_layout;
};

} // namespace ui
