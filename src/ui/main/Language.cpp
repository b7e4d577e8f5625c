// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/Language.h"

#include <QFile>
#include <QString>

#include <utility>

#include "ui/dialogs/DialogTexts.h"

// Resources live in a static library, so the program registers them itself.
static void InitLangResource() {
    Q_INIT_RESOURCE(lang);
}

namespace varnoth {

namespace {

constexpr int kMainWindowTemplate = 229;

}  // namespace

void InitLanguageResources() {
    InitLangResource();
}

bool LoadLanguageTable(int language, LanguageTable& table) {
    QFile file(language == kChinese ? QStringLiteral(":/lang/zh.ini") : QStringLiteral(":/lang/en.ini"));
    if (!file.open(QIODevice::ReadOnly)) {
        table = LanguageTable();
        return false;
    }
    const QByteArray text = file.readAll();
    table = LanguageTable::Parse(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    return true;
}

bool ApplyLanguage(int language, QWidget& mainWindow) {
    LanguageTable table;
    const bool loaded = LoadLanguageTable(language, table);
    SetActiveLanguageTable(std::move(table));
    if (loaded) {
        ApplyDialogTexts(mainWindow, kMainWindowTemplate);
    }
    return loaded;
}

}  // namespace varnoth
