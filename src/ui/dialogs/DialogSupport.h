#pragma once

#include <QColor>

class QDialog;
class QLabel;
class QWidget;

namespace varnoth {

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

}  // namespace varnoth
