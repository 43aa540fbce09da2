// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dispatcher of the running program: tasks are queued into the Qt event
// loop of the thread that created it (the UI thread).

#include <QObject>

#include <memory>

#include "platform/dispatcher.h"

namespace velmora::platform {

class QtDispatcher final : public PostingDispatcher {
public:
    // Create on the UI thread after the QApplication, and share it (the
    // fetch components and their workers hold it). It shuts itself down
    // when the application is about to quit, so workers still waiting then
    // are released and no worker can keep the program from ending.
    QtDispatcher();
    ~QtDispatcher() override;

protected:
    void post(std::function<void()> call) override;

private:
    // Queued calls are bound to this object: once it is gone, Qt drops them.
    std::unique_ptr<QObject> context_;
    QMetaObject::Connection quitConnection_;
};

}  // namespace velmora::platform
