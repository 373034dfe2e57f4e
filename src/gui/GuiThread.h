// Lets a command that runs on a worker thread reach the widgets: a call made off the GUI thread
// is carried out on it, and the caller waits for its result.
#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <exception>
#include <optional>
#include <type_traits>

namespace vortel::gui {

inline bool OffGuiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() != app->thread();
}

// Runs `f` on the GUI thread and returns what it returns, rethrowing what it throws. The GUI
// thread must not be waiting for the caller meanwhile: it runs `f` from its event loop (a modal
// dialogue then opens its own loop there, as it would from a click).
template <typename F>
auto OnGuiThread(F&& f) -> std::invoke_result_t<F&> {
    using Result = std::invoke_result_t<F&>;
    std::exception_ptr failure;
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [&] {
                try {
                    f();
                } catch (...) {
                    failure = std::current_exception();
                }
            },
            Qt::BlockingQueuedConnection);
        if (failure) std::rethrow_exception(failure);
    } else {
        std::optional<Result> result;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [&] {
                try {
                    result.emplace(f());
                } catch (...) {
                    failure = std::current_exception();
                }
            },
            Qt::BlockingQueuedConnection);
        if (failure) std::rethrow_exception(failure);
        return std::move(*result);
    }
}

}  // namespace vortel::gui
