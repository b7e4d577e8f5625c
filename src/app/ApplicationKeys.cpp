// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ApplicationKeys.h"

#include <QKeyEvent>

#include "ui/main/MainWindow.h"

namespace varnoth {

ApplicationKeys::ApplicationKeys(MainWindow& mainWindow, QObject* parent)
    : QObject(parent), m_mainWindow(&mainWindow) {}

bool ApplicationKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyRelease) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    // A held key repeats its release; the dialog opens once per press.
    if (key->key() != Qt::Key_F7 || key->isAutoRepeat() || !m_f7Ready || !m_mainWindow ||
        m_mainWindow->IsSyncing()) {
        return QObject::eventFilter(watched, event);
    }
    m_f7Ready = false;
    m_mainWindow->OpenSettingsDialog();
    m_f7Ready = true;
    return true;
}

}  // namespace varnoth
