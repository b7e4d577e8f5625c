// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

namespace varnoth {

// Carries device arrivals and removals, reported on a watcher's own thread, to the thread this object lives
// on, where they come out as the signal deviceChanged (queued, in the order reported).
class DeviceEvents : public QObject {
    Q_OBJECT

  public:
    using Callback = std::function<void(bool arrived, const std::string& path)>;

    explicit DeviceEvents(QObject* parent = nullptr);
    // Reports that come in later are dropped.
    ~DeviceEvents() override;

    // The function to give a device watcher: callable from any thread, also after this object is gone.
    Callback Sink();

  signals:
    void deviceChanged(bool arrived, const QString& path);

  private:
    struct Gate;
    std::shared_ptr<Gate> m_gate;
};

}  // namespace varnoth
