// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/Language.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QString>
#include <QTranslator>

#include <climits>
#include <memory>
#include <utility>

#include "ui/dialogs/DialogTexts.h"
#include "ui/main/UserSettings.h"

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

int LanguageOfLocale(std::string_view localeName) {
    return localeName.starts_with("zh") ? kChinese : kEnglish;
}

int StartLanguage() {
    const int desktop = LanguageOfLocale(QLocale::system().name().toStdString());
    return UserSettings::Read(QLatin1String(UserSettings::kLanguage), desktop, INT_MIN, INT_MAX) == kChinese
               ? kChinese
               : kEnglish;
}

bool ChineseFontInstalled() {
    return !QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty();
}

bool ApplyQtTranslations(int language) {
    static std::unique_ptr<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    if (language != kChinese) {
        return true;
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    return true;
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
    ApplyQtTranslations(language);
    LanguageTable table;
    const bool loaded = LoadLanguageTable(language, table);
    SetActiveLanguageTable(std::move(table));
    if (loaded) {
        ApplyDialogTexts(mainWindow, kMainWindowTemplate);
    }
    return loaded;
}

}  // namespace varnoth
