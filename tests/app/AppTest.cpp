// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "RunningProgram.h"
#include "app/Application.h"
#include "files/ModeDataFile.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/DialogTexts.h"
#include "ui/main/Language.h"
#include "ui/main/MainWindow.h"
#include "ui/main/SessionHost.h"
#include "ui/main/UserSettings.h"

namespace varnoth {
namespace {

using test::Installed;
using test::kDeadlineMs;
using test::Program;
using test::VirtualDisplay;

// Parts of the main window and the settings dialog with the captions their templates give.
constexpr std::array kMainControls = {
    ControlTemplate{1012, ControlKind::Label, {306, 3, 19, 8}, "LOAD", kRightAligned},
    ControlTemplate{1019, ControlKind::PushButton, {476, 1, 49, 12}, "中文"},
    ControlTemplate{1022, ControlKind::Frame, {55, 32, 232, 92}},
    ControlTemplate{1153, ControlKind::GroupBox, {459, 258, 117, 116}, "主音量", kCentred},
    ControlTemplate{1064, ControlKind::Label, {191, 17, 30, 8}, "当前状态", kRightAligned},
};
const DialogTemplate kMain{229, "Varnoth v1.5", 579, 378, StandardDialogFont(), kMainControls};

constexpr std::array kSettingsControls = {
    ControlTemplate{1090, ControlKind::Label, {10, 20, 60, 8}, "POWER MIC VOL"},
    ControlTemplate{1101, ControlKind::RadioButton, {10, 40, 60, 10}, "VOL BY MODE"},
};
const DialogTemplate kSettings{180, "Settings", 300, 200, StandardDialogFont(), kSettingsControls};

QString Caption(const QWidget& dialog, int id) {
    const QWidget* control = FindControl(dialog, id);
    return control ? ControlText(*control) : QStringLiteral("<no control %1>").arg(id);
}

struct LanguageCase {
    int language;
    const char* button1019;
    const char* label1012;
    const char* frame1022;
    const char* group1153;
    const char* settingsTitle;
    const char* settings1090;
    const char* settings1101;
};

TEST(Language, TablesGiveTheCaptionsOfEachLanguage) {
    const LanguageCase cases[] = {
        {kChinese, "English", "载入", "话筒参数", "输出音量", "设置", "话筒开机音量", "音量随机保存"},
        {kEnglish, "中文", "LOAD", "MIC", "Output Vol", "Settings", "POWER MIC", "VOL BY RANDOM"},
        {7, "中文", "LOAD", "MIC", "Output Vol", "Settings", "POWER MIC", "VOL BY RANDOM"},
    };
    for (const LanguageCase& c : cases) {
        SCOPED_TRACE(c.language);
        QDialog main;
        BuildDialog(main, kMain);
        ASSERT_TRUE(ApplyLanguage(c.language, main));
        EXPECT_EQ(Caption(main, 1019), c.button1019);
        EXPECT_EQ(Caption(main, 1012), c.label1012);
        EXPECT_EQ(Caption(main, 1022), c.frame1022) << "frames hosting custom controls take a caption too";
        EXPECT_EQ(Caption(main, 1153), c.group1153);
        EXPECT_EQ(Caption(main, 1064), "当前状态") << "no entry: the template caption stays";
        EXPECT_EQ(main.windowTitle(), "Varnoth v1.5") << "no table sets the main window's title";

        QDialog settings;
        BuildDialog(settings, kSettings);
        ApplyDialogTexts(settings, kSettings.number);
        EXPECT_EQ(settings.windowTitle(), c.settingsTitle);
        EXPECT_EQ(Caption(settings, 1090), c.settings1090);
        EXPECT_EQ(Caption(settings, 1101), c.settings1101);
    }
}

// Qt's own dialogs and buttons (file chooser, message boxes) follow the panel's language.
TEST(Language, QtsOwnTextsFollowTheChosenLanguage) {
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_zh_CN.qm")) {
        GTEST_SKIP() << "Qt's translations are not installed (tools/setup installs them)";
    }
    ASSERT_TRUE(ApplyQtTranslations(kChinese));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    ASSERT_TRUE(ApplyQtTranslations(kEnglish));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

TEST(Language, AnOpenDialogKeepsACaptionTheNewTableDoesNotName) {
    QDialog main;
    BuildDialog(main, kMain);
    QDialog settings;
    BuildDialog(settings, kSettings);
    ApplyLanguage(kChinese, main);
    ApplyDialogTexts(settings, kSettings.number);
    ApplyLanguage(kEnglish, main);
    ApplyDialogTexts(settings, kSettings.number);
    EXPECT_EQ(Caption(main, 1019), "中文");
    EXPECT_EQ(settings.windowTitle(), "设置");
    EXPECT_EQ(Caption(settings, 1090), "POWER MIC");
}

TEST(Language, EachTableCoversItsOwnDialogs) {
    LanguageTable chinese;
    LanguageTable english;
    ASSERT_TRUE(LoadLanguageTable(kChinese, chinese));
    ASSERT_TRUE(LoadLanguageTable(kEnglish, english));
    EXPECT_EQ(chinese.Lookup("IDD241_title"), "重置/升级/遥控学习");
    EXPECT_EQ(english.Lookup("IDD241_title"), "");
    EXPECT_EQ(english.Lookup("IDD241_1111"), "") << "the reset dialog's template is English";
    for (const char* key :
         {"IDD204_title", "IDD205_title", "IDD233_title", "IDD204_1", "IDD205_3", "IDD233_3"}) {
        EXPECT_EQ(chinese.Lookup(key), "") << key << ": the template is Chinese";
        EXPECT_NE(english.Lookup(key), "") << key;
    }
    EXPECT_EQ(english.Lookup("IDD204_title"), "Study remoter control");
    EXPECT_EQ(english.Lookup("IDD233_1107"),
              "2.Press \"enter\" by right hand,press \"power on\" by left hand");
    EXPECT_EQ(english.Lookup("IDD180_title"), "");
}

TEST(MainWindow, IsAFixedDialogOfItsTemplateSizeAndItsMenuBarTitledInBothLanguages) {
    SessionHost host;
    for (const int language : {kChinese, kEnglish}) {
        MainWindow window(host, language);
        EXPECT_EQ(window.windowTitle(), "Varnoth v1.5");
        EXPECT_EQ(window.Language(), language);
        const auto* bar = window.findChild<QMenuBar*>();
        ASSERT_NE(bar, nullptr);
        EXPECT_GT(bar->height(), 0);
        EXPECT_EQ(window.size(),
                  ToPixels({0, 0, 579, 378}, BaseUnitsOf(window.font())).size() + QSize(0, bar->height()));
        EXPECT_EQ(window.minimumSize(), window.maximumSize());
    }
}

TEST(MainWindow, EscDoesNothingAndTheCloseBoxEndsIt) {
    SessionHost host;
    MainWindow window(host, kChinese);
    bool finished = false;
    QObject::connect(&window, &QDialog::finished, [&] { finished = true; });
    window.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_Escape);
    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_TRUE(window.isVisible());
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(finished);
}

TEST(App, RaisingRestoresAMinimisedWindow) {
    QDialog window;
    window.showMinimized();
    ASSERT_TRUE(window.isMinimized());
    Application::RaiseWindow(window);
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());
}

TEST(Settings, LanguageIsZeroWhenMissingOrUnreadableAndKeepsWhatWasWritten) {
    QSettings raw(QSettings::NativeFormat, QSettings::UserScope, "VARNOTH", "VARNOTH-Q317");
    raw.remove("language");
    raw.sync();
    EXPECT_EQ(UserSettings::Read("language"), 0);
    raw.setValue("language", "not a number");
    raw.sync();
    EXPECT_EQ(UserSettings::Read("language"), 0);
    UserSettings::Write("language", 1);
    EXPECT_EQ(UserSettings::Read("language"), 1);
    UserSettings::Write("language", 0);
    EXPECT_EQ(UserSettings::Read("language"), 0);
}

// Arguments are checked before Qt looks for a display: a wrong one is said as such, with the usage's exit
// code.
TEST(App, AWrongArgumentIsToldWithoutADisplay) {
    const struct {
        const char* argument;
        const char* says;
    } cases[] = {{"--bogus", "varnoth: unknown option '--bogus'\n"},
                 {"--simulate=haunted", "unknown simulation scenario \"haunted\""}};
    for (const auto& c : cases) {
        Program program({QString::fromLatin1(c.argument)}, {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ""}});
        ASSERT_TRUE(program.WaitForExit());
        EXPECT_EQ(program.Process().exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.Process().exitCode(), 2);
        EXPECT_TRUE(program.TraceText().contains(QString::fromLatin1(c.says)))
            << program.TraceText().toStdString();
    }
}

// A session folder where no file can be made (here: the mark's name would be longer than a path may be) costs
// only the single-instance guard: the panel starts, and says why and where.
TEST(App, WithoutASessionFolderThePanelStartsUnguardedAndSaysWhy) {
    QTemporaryDir base;
    ASSERT_TRUE(base.isValid());
    // A path may hold 4095 bytes: the folder fits, the mark's name in it does not.
    constexpr qsizetype kLength = 4080;
    QString folder = base.path();
    while (folder.size() < kLength) {
        folder += QLatin1Char('/') +
                  QString(std::min<qsizetype>(200, kLength - folder.size() - 1), QLatin1Char('d'));
    }
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    UserSettings::Write("language", 1);
    Program program({}, {{"XDG_RUNTIME_DIR", folder}, {"LC_ALL", "C"}});
    ASSERT_TRUE(program.WaitForTrace("Main window:"))
        << "the panel starts: " << program.TraceText().toStdString();
    EXPECT_TRUE(program.WaitForTrace("varnoth: Cannot create the single-instance mark in " + folder + " ("))
        << program.TraceText().toStdString();
    EXPECT_TRUE(program.TraceText().contains("File name too long")) << program.TraceText().toStdString();
    program.Kill();
}

// The very first start follows the desktop's locale; the user's choice wins afterwards.
TEST(App, TheFirstStartSpeaksTheDesktopsLanguage) {
    const struct {
        const char* locale;
        const char* opens;
    } cases[] = {{"zh_CN.UTF-8", "Main window: language 0"},
                 {"zh_TW.UTF-8", "Main window: language 0"},
                 {"en_GB.UTF-8", "Main window: language 1"},
                 {"C", "Main window: language 1"}};
    for (const auto& c : cases) {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "VARNOTH", "VARNOTH-Q317")
            .remove("language");
        Program program({}, {{"LC_ALL", c.locale}});
        EXPECT_TRUE(program.WaitForTrace(c.opens)) << c.locale << ": " << program.TraceText().toStdString();
    }
    UserSettings::Write("language", 1);
    Program chosen({}, {{"LC_ALL", "zh_CN.UTF-8"}});
    EXPECT_TRUE(chosen.WaitForTrace("Main window: language 1")) << chosen.TraceText().toStdString();
}

TEST(App, TheLanguageSurvivesARestart) {
    UserSettings::Write("language", 1);
    {
        Program program;
        EXPECT_TRUE(program.WaitForTrace("Main window: language 1")) << program.TraceText().toStdString();
    }
    UserSettings::Write("language", 0);
    Program program;
    EXPECT_TRUE(program.WaitForTrace("Main window: language 0")) << program.TraceText().toStdString();
}

TEST(App, ASecondInstanceRaisesTheFirstAndEnds) {
    Program first;
    ASSERT_TRUE(first.WaitForTrace("Main window:")) << first.TraceText().toStdString();

    Program second;
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.Process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.Process().exitCode(), 0);
    EXPECT_TRUE(second.TraceText().contains("the running instance raised its window"))
        << second.TraceText().toStdString();
    EXPECT_FALSE(second.TraceText().contains("Main window:")) << "no second window";

    EXPECT_TRUE(first.WaitForTrace("raised the main window for a second instance"))
        << first.TraceText().toStdString();
    EXPECT_EQ(first.Process().state(), QProcess::Running);

    first.Kill();
    Program next;
    EXPECT_TRUE(next.WaitForTrace("Main window:")) << "the mark of a process that has gone does not count\n"
                                                   << next.TraceText().toStdString();
}

// A session folder whose path is too long for a local socket's address still lets a second instance find
// the first.
TEST(App, ASecondInstanceFindsTheFirstThoughTheSessionFolderHasALongPath) {
    QTemporaryDir base;
    ASSERT_TRUE(base.isValid());
    const QString folder = base.path() + QLatin1Char('/') + QString(120, QLatin1Char('s'));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const std::vector<std::pair<QString, QString>> environment = {{"XDG_RUNTIME_DIR", folder}};
    Program first({}, environment);
    ASSERT_TRUE(first.WaitForTrace("Main window:")) << first.TraceText().toStdString();
    EXPECT_FALSE(first.TraceText().contains("cannot listen")) << first.TraceText().toStdString();

    Program second({}, environment);
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_TRUE(second.TraceText().contains("the running instance raised its window"))
        << second.TraceText().toStdString();
    EXPECT_TRUE(first.WaitForTrace("raised the main window for a second instance"))
        << first.TraceText().toStdString();
    first.Kill();
}

// A mode data file named in GBK ("模式数据.vqm" from a Windows PC), which is not UTF-8: printf's escapes of
// its bytes, and the bytes themselves.
constexpr char kGbkEscapes[] = "\\304\\243\\312\\275\\312\\375\\276\\335.vqm";
const QByteArray kGbkName = "\xc4\xa3\xca\xbd\xca\xfd\xbe\xdd.vqm";

// A folder with a sound mode data file under the GBK name; it removes the file itself, which QTemporaryDir
// does not see.
class GbkFolder {
  public:
    GbkFolder() {
        SessionHost host;
        m_written = ModeDataFile::WriteImage(Path().toStdString(), ModeDataFile::Snapshot(host.Session())).ok;
    }
    ~GbkFolder() { ::unlink(Path().constData()); }
    bool Written() const { return m_written; }
    QString Folder() const { return m_folder.path(); }
    QByteArray Path() const { return QFile::encodeName(m_folder.path()) + '/' + kGbkName; }
    // How the trace shows the path (it holds the bytes; the test reads it as UTF-8).
    QString Traced() const { return QString::fromUtf8(Path()); }

  private:
    QTemporaryDir m_folder;
    bool m_written = false;
};

// The panel given a file named in GBK on its command line loads it after the first synchronisation and
// writes it to the amplifier; the name's bytes reach the file system as they were given.
TEST(App, AFileNamedInGbkOnTheCommandLineIsLoaded) {
    GbkFolder folder;
    ASSERT_TRUE(folder.Written());
    Program program(QStringLiteral("exec \"$0\" --simulate \"$(printf \"$1\")\""),
                    {folder.Folder() + QLatin1Char('/') + QLatin1String(kGbkEscapes)}, folder.Folder());
    EXPECT_TRUE(program.WaitForTrace("Main window: synchronised (1)")) << program.TraceText().toStdString();
    const QString trace = program.TraceText();
    EXPECT_TRUE(trace.contains("Mode data file loaded: " + folder.Traced())) << trace.toStdString();
    const auto read = trace.indexOf("Main window: synchronised (0)");
    EXPECT_GE(read, 0) << trace.toStdString();
    EXPECT_LT(read, trace.indexOf("Mode data file loaded: ")) << "loaded after the first read";
    program.Kill();
}

// A second instance given a file (by a name relative to its own folder) hands it to the running panel,
// which loads it, and ends.
TEST(App, ASecondInstanceHandsItsFileToTheRunningPanel) {
    GbkFolder folder;
    ASSERT_TRUE(folder.Written());
    Program first({"--simulate"});
    ASSERT_TRUE(first.WaitForTrace("Main window: synchronised (0)")) << first.TraceText().toStdString();

    Program second(QStringLiteral("exec \"$0\" \"$(printf \"$1\")\""), {QLatin1String(kGbkEscapes)},
                   folder.Folder());
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.Process().exitCode(), 0);
    EXPECT_TRUE(second.TraceText().contains("the running instance raised its window and loads the file"))
        << second.TraceText().toStdString();
    EXPECT_FALSE(second.TraceText().contains("Main window:")) << "no second window";

    EXPECT_TRUE(first.WaitForTrace("Main window: synchronised (1)")) << first.TraceText().toStdString();
    EXPECT_TRUE(first.TraceText().contains("Mode data file loaded: " + folder.Traced()))
        << first.TraceText().toStdString();
    first.Kill();
}

// Taskbars read the window's icon from _NET_WM_ICON: it carries every size of the icon theme, not one.
TEST(App, TheWindowOffersItsIconInEverySizeOfTheTheme) {
    if (!Installed(QStringLiteral("Xvfb")) || !Installed(QStringLiteral("xdotool")) ||
        !Installed(QStringLiteral("xprop"))) {
        GTEST_SKIP() << "needs Xvfb, xdotool and xprop (tools/setup installs them)";
    }
    VirtualDisplay display;
    ASSERT_FALSE(display.Name().isEmpty()) << "Xvfb did not start";
    Program program({"--simulate"}, {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", display.Name()}});
    ASSERT_TRUE(program.WaitForTrace("Main window:")) << program.TraceText().toStdString();
    const QString window = display.WindowOf(program.Process().processId());
    ASSERT_FALSE(window.isEmpty()) << "no window shown";
    // Without -len, xprop leaves out the end of a long property: the largest icon.
    const QString icon = display
                             .Tool({QStringLiteral("-len"), QStringLiteral("10000000"), QStringLiteral("-id"),
                                    window, QStringLiteral("_NET_WM_ICON")},
                                   QStringLiteral("xprop"))
                             .value_or(QString());
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        EXPECT_TRUE(icon.contains(QStringLiteral("Icon (%1 x %1):").arg(size)))
            << size << " px missing; xprop gave " << icon.size() << " characters";
    }
    program.Kill();
}

}  // namespace
}  // namespace varnoth
