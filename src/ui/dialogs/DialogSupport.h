// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

#include <functional>
#include <string>

#include "ui/dialogs/FeatureTexts.h"

class QDialog;
class QLabel;
class QObject;
class QWidget;

namespace varnoth {

class DeviceSession;

// Small services the feature dialogs share.

// Enter presses no push button of the dialog: a dialog's Enter (IDOK) does nothing unless the dialog says
// otherwise, and the focused button is clicked with the space bar.
void ClearDefaultButtons(QDialog& dialog);

// A solid background behind the dialog; labels and buttons are drawn on it without a background of their
// own.
void SetSolidBackground(QWidget& widget, const QColor& colour);

// Shows picture `imageId` of the image resources in the label at its natural size; false (the label is left
// as it was) when the picture is missing.
bool ShowPicture(QLabel& label, int imageId);

// Sends without waiting: send runs on the link thread, where its commands return what went out, and tell
// gets what it says on the user-interface thread, unless `context` has gone by then. Without a link send
// runs here at once (it finds no connection and sends nothing). send must not touch `context`.
void SendThenTell(DeviceSession& session, QObject& context, std::function<FeatureNotice()> send,
                  std::function<void(const FeatureNotice&)> tell);

}  // namespace varnoth
