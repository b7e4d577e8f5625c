// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "ui/dialogs/LanguageTable.h"

class QWidget;

namespace varnoth {

// Language index: 0 Chinese, anything else English.
constexpr int kChinese = 0;
constexpr int kEnglish = 1;

// Registers the language tables carried as resources; call once before the first language is applied.
void InitLanguageResources();

// The language of a locale name ("zh_CN", "zh_TW.UTF-8", "en_GB", "C"): Chinese for zh*, else English.
int LanguageOfLocale(std::string_view localeName);
// The language a start opens in: the user's last choice, or on the very first start the desktop's locale.
int StartLanguage();
// Whether a font installed on the system covers Simplified Chinese.
bool ChineseFontInstalled();

// Puts Qt's own translations for the language in place (the buttons and texts of Qt's dialogs: file chooser,
// message boxes), replacing those of the other language. False when Qt's translations for Chinese are not
// installed; Qt's dialogs are then in English.
bool ApplyQtTranslations(int language);

// Reads the carried table of a language. False when it cannot be read (`table` is then empty).
bool LoadLanguageTable(int language, LanguageTable& table);

// Makes the language's table the active one, with Qt's own translations, and applies it to the main window
// (template 229). When the
// table cannot be read the active table becomes empty and no caption changes. Returns whether it was read.
bool ApplyLanguage(int language, QWidget& mainWindow);

}  // namespace varnoth
