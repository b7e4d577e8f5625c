// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/dialogs/LanguageTable.h"

class QWidget;

namespace varnoth {

// Language index: 0 Chinese, anything else English.
constexpr int kChinese = 0;
constexpr int kEnglish = 1;

// Registers the language tables carried as resources; call once before the first language is applied.
void InitLanguageResources();

// Reads the carried table of a language. False when it cannot be read (`table` is then empty).
bool LoadLanguageTable(int language, LanguageTable& table);

// Makes the language's table the active one and applies it to the main window (template 229). When the
// table cannot be read the active table becomes empty and no caption changes. Returns whether it was read.
bool ApplyLanguage(int language, QWidget& mainWindow);

}  // namespace varnoth
