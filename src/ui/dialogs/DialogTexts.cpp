// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/DialogTexts.h"

#include <QString>
#include <QWidget>

#include <utility>

#include "ui/dialogs/DialogBuilder.h"

namespace varnoth {

namespace {

LanguageTable& ActiveTable() {
    static LanguageTable table;
    return table;
}

}  // namespace

const LanguageTable& ActiveLanguageTable() {
    return ActiveTable();
}

void SetActiveLanguageTable(LanguageTable table) {
    ActiveTable() = std::move(table);
}

void ApplyDialogTexts(QWidget& dialog, int templateNumber, const LanguageTable& table) {
    const std::string title = table.Lookup(LanguageTable::TitleKey(templateNumber));
    if (!title.empty()) {
        dialog.setWindowTitle(QString::fromStdString(title));
    }
    for (QWidget* control : dialog.findChildren<QWidget*>()) {
        const int id = ControlIdOf(*control);
        if (id < 0) {
            continue;
        }
        const std::string caption = table.Lookup(LanguageTable::ControlKey(templateNumber, id));
        if (!caption.empty()) {
            SetControlText(*control, QString::fromStdString(caption));
        }
    }
}

void ApplyDialogTexts(QWidget& dialog, int templateNumber) {
    ApplyDialogTexts(dialog, templateNumber, ActiveLanguageTable());
}

}  // namespace varnoth
