// Runs an event handler so that an error ends only the operation in progress: it is shown in a
// message box and the program goes on. No exception ever reaches Qt's event loop.
#pragma once

#include "core/errors.h"
#include "core/progress.h"
#include "ui/messages.h"

#include <QObject>

#include <exception>
#include <new>
#include <utility>

template <typename Handler> void guarded(Handler &&handler)
{
    try {
        std::forward<Handler>(handler)();
    } catch (const StepCancelled &stopped) {
        // The user's own choice, not a fault.
        messages::showMessage(stopped.message());
    } catch (const SondarykError &error) {
        messages::showError(error.message());
    } catch (const std::bad_alloc &) {
        messages::showError(QStringLiteral("Brak pamięci do wykonania tej operacji."));
    } catch (const std::exception &error) {
        messages::showError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        messages::showError(QStringLiteral("Wystąpił nieznany błąd."));
    }
}

// Connects a signal to a window's handler (a member without arguments) that runs guarded.
template <typename Sender, typename Signal, typename Window, typename Handler>
void connectGuarded(Sender *sender, Signal signal, Window *window, Handler handler)
{
    QObject::connect(sender, signal, window, [window, handler] { guarded([&] { (window->*handler)(); }); });
}
