// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_dispatcher.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>

namespace velmora::platform {

QtDispatcher::QtDispatcher() : context_(std::make_unique<QObject>()) {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        quitConnection_ = QObject::connect(app, &QCoreApplication::aboutToQuit, context_.get(), [this] { shutdown(); });
    }
}

QtDispatcher::~QtDispatcher() {
    shutdown();
    QObject::disconnect(quitConnection_);
    // The last owner may be a worker that outlived the event loop's user: the
    // context then goes through its own thread's queue, or at once when no
    // application (and so no event loop) is left.
    QObject* context = context_.release();
    if (QCoreApplication::instance() == nullptr || context->thread() == QThread::currentThread()) {
        delete context;
    } else {
        context->deleteLater();
    }
}

void QtDispatcher::post(std::function<void()> call) {
    // Thread-safe: invokeMethod with a queued connection only posts an event.
    QMetaObject::invokeMethod(context_.get(), std::move(call), Qt::QueuedConnection);
}

}  // namespace velmora::platform
