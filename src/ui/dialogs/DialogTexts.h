// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/dialogs/LanguageTable.h"

class QWidget;

namespace varnoth {

// The language table in force, replaced whenever the language is applied. Empty until then, so dialogs keep
// their template captions. User-interface thread only.
const LanguageTable& ActiveLanguageTable();
void SetActiveLanguageTable(LanguageTable table);

// Sets the dialog's title and the captions of its controls from the table, by key "IDD<n>_title" and
// "IDD<n>_<control id>"; a missing key or an empty value leaves the caption as it is.
void ApplyDialogTexts(QWidget& dialog, int templateNumber, const LanguageTable& table);

// The same with the active table; every dialog with language entries calls it when it opens.
void ApplyDialogTexts(QWidget& dialog, int templateNumber);

}  // namespace varnoth
