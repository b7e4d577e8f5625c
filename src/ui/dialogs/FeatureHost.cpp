// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/FeatureHost.h"

#include <QMessageBox>

namespace varnoth {

bool FeatureHost::Ask(QWidget& over, const QString& caption, const QString& text) {
    return QMessageBox::question(&over, caption, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

}  // namespace varnoth
