// Runs an event handler so that an error ends only the operation in progress: it is shown in a
// message box and the program goes on. No exception ever reaches Qt's event loop.
#pragma once

#include "errors.h"
#include "messages.h"

#include <exception>
#include <new>
#include <utility>

template <typename Handler> void guarded(Handler &&handler)
{
    try {
        std::forward<Handler>(handler)();
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
