// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
// A drop as the platform hands it over.
#include <qpa/qplatformdrag.h>
#include <qpa/qwindowsysteminterface.h>

#include <unistd.h>

#include <array>
#include <string>
#include <vector>

#include "../../device/TraceCapture.h"
#include "MainWindowFixture.h"
#include "device/sim/SimFactory.h"
#include "files/ModeDataFile.h"
#include "session/RegisterMap.h"
#include "session/ValueFormat.h"
#include "ui/controls/EqGraph.h"
#include "ui/controls/ImageButton.h"
#include "ui/main/UserSettings.h"
#include "ui/main/WindowUndo.h"

namespace varnoth::test {
namespace {

using MainWindowCommands = MainWindowTest;

constexpr int kLockOn = 7;
constexpr int kLockBits = 8;
constexpr std::uint8_t kLoadModeLock = 0x10;
constexpr std::uint8_t kSaveModeLock = 0x20;

// The amplifier's machine settings with the lock function and these lock bits.
std::function<void(VirtualAmp&)> Locks(std::uint8_t enable, std::uint8_t bits) {
    return [enable, bits](VirtualAmp& amp) {
        VirtualAmpState state = amp.State();
        state.machine[kLockOn] = enable;
        state.machine[kLockBits] = bits;
        ASSERT_TRUE(amp.SetState(state));
    };
}

// Clicks a button and lets the window show what the store then holds.
void Click(MainWindow& window, int id) {
    window.Control<QAbstractButton>(id)->click();
    QCoreApplication::sendPostedEvents();
}

TEST_F(MainWindowCommands, SavingAModeShowsItsNoticeAndMarksItsLoadButton) {
    struct Case {
        int language;
        int mode;
        const char* notice;
    };
    for (const Case c : {Case{1, 2, "Saved Mode3"}, Case{0, 0, "已储存模式一"}, Case{0, 3, "已储存模式四"}}) {
        OpenSynchronised(c.language);
        const RegisterBank working = Amp().WorkingSet();
        Click(Window(), 1004 + c.mode);
        WaitUntilSent();
        EXPECT_EQ(Amp().CurrentMode(), c.mode);
        EXPECT_TRUE(Amp().StoredSet(static_cast<std::size_t>(c.mode)) == working)
            << "the device saved its set";
        Drain();
        EXPECT_EQ(Window().NoticeText(), c.notice) << "once the amplifier acknowledged the save";
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(Ctl<ImageButton>(1000 + k).AltState(), k == c.mode) << "load button " << 1000 + k;
        }
        EXPECT_EQ(m_syncs, 1) << "nothing is read back";
        Close();
    }
}

TEST_F(MainWindowCommands, ModeButtonsFollowTheLocksOfTheSavedSettings) {
    struct Case {
        int language;
        std::uint8_t enable;
        std::uint8_t bits;
        const char* loadNotice;  // nullptr: the load row works
        const char* saveNotice;  // nullptr: the save row works
    };
    const Case cases[] = {
        {1, 1, kSaveModeLock, nullptr, "Save mode locked!"},
        {0, 1, kSaveModeLock, nullptr, "存储模式已锁定!"},
        {1, 1, kLoadModeLock, "Load mode locked!", nullptr},
        {0, 1, kLoadModeLock | kSaveModeLock, "载入模式已锁定!", "存储模式已锁定!"},
        {1, 0, kLoadModeLock | kSaveModeLock, nullptr, nullptr},  // the lock function is off
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "language " << c.language << ", lock " << int{c.enable} << ", bits " << int{c.bits});
        m_provider = std::make_shared<SimProvider>();  // an amplifier in mode M1
        OpenSynchronised(c.language, Locks(c.enable, c.bits));

        Click(Window(), 1005);  // save M2
        if (c.saveNotice != nullptr) {
            EXPECT_EQ(Window().NoticeText(), c.saveNotice);
            WaitUntilSent();
            EXPECT_EQ(Amp().CurrentMode(), 0) << "nothing was sent";
        } else {
            WaitUntilSent();
            Drain();  // the notice of the acknowledged save, before the next click's
            EXPECT_EQ(Amp().CurrentMode(), 1);
        }

        Click(Window(), 1002);  // load M3
        if (c.loadNotice != nullptr) {
            EXPECT_EQ(Window().NoticeText(), c.loadNotice);
            WaitUntilSent();
            EXPECT_NE(Amp().CurrentMode(), 2) << "nothing was sent";
            EXPECT_EQ(m_syncs, 1);
        } else {
            WaitUntilSent();
            EXPECT_EQ(Amp().CurrentMode(), 2);
            EXPECT_TRUE(WaitForSyncs(2)) << "the mode is read back";
            EXPECT_TRUE(Ctl<ImageButton>(1002).AltState());
        }
        Close();
    }
}

TEST_F(MainWindowCommands, ModeButtonsWithoutADeviceDoNothing) {
    Open("normal", 1, [this](VirtualAmp&) { Provider().Unplug(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Window().IsWaitingToConnect(); }, kDeadlineMs));
    const TraceCapture trace;
    Click(Window(), 1001);
    Click(Window(), 1006);
    EXPECT_FALSE(trace.Contains("Start thread:SynchronizeData\n"));
    EXPECT_EQ(Session().MemoryMode(), 0);
    EXPECT_TRUE(Window().NoticeText().isEmpty());
}

TEST_F(MainWindowCommands, FlatEqResetsTheBankOfTheShownPageOnly) {
    constexpr std::uint8_t kRaised = 0x50;
    const std::array<std::uint8_t, 4> banks = {pos::CenterGEQ, pos::MicGEQ, pos::MusicGEQ, pos::SubGEQ};
    OpenSynchronised(0, [&](VirtualAmp& amp) {
        for (const std::uint8_t bank : banks) {
            for (int band = 0; band < 10; ++band) {
                SetDeviceValue(amp, bank + band, kRaised);
            }
        }
    });
    const char* questions[] = {"您确定要重置中置均衡?", "您确定要重置话筒均衡?", "您确定要重置音乐均衡?",
                               "您确定要重置超低均衡?"};
    m_answer = false;
    Click(Window(), 1100);
    Click(Window(), 1016);
    ASSERT_EQ(m_questions.size(), 1u);
    EXPECT_EQ(m_questions[0].caption, "确认?");
    EXPECT_EQ(m_questions[0].text, questions[3]);
    EXPECT_EQ(DeviceValue(pos::SubGEQ), kRaised) << "No changes nothing";

    m_answer = true;
    // The subwoofer first, then the other pages: each flattens its own bank.
    for (const int page : {3, 0, 1, 2}) {
        Click(Window(), 1097 + page);
        Click(Window(), 1016);
        EXPECT_EQ(m_questions.back().text, questions[page]);
        EXPECT_EQ(Window().NoticeText(), "均衡已经置零");
        for (int band = 0; band < 10; ++band) {
            EXPECT_EQ(DeviceValue(banks[page] + band), 0x40) << "page " << page << " band " << band;
            EXPECT_FLOAT_EQ(Ctl<EqGraph>(1015).Point(band).gain, 0.0f);
        }
    }
    WaitUntilSent();
    for (int band = 0; band < 10; ++band) {
        const RegisterEntry& entry = StoreRegisterMap()[pos::SubGEQ + band];
        EXPECT_EQ(entry.channel, 5);
        EXPECT_EQ(Amp().Register(entry.block, entry.index, 5), 0x40)
            << "sub band " << band << " on channel 5";
    }
}

TEST_F(MainWindowCommands, TheFactoryMicCurveIsWrittenAndShown) {
    for (const int language : {1, 0}) {
        OpenSynchronised(language);
        ASSERT_TRUE(Ctl<QAbstractButton>(1025).isVisibleTo(&Window())) << "the microphone page shows it";
        Click(Window(), 1025);
        ASSERT_EQ(m_questions.size(), 1u);
        EXPECT_EQ(m_questions[0].text,
                  language == 1 ? "Reset default mic EQ?" : "您确定要重置成出厂话筒均衡?");
        const std::uint8_t curve[] = {0x32, 0x32, 0x42, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x43};
        const float decibels[] = {-14, -14, 2, 0, 0, 0, 0, 0, 0, 3};
        for (int band = 0; band < 10; ++band) {
            EXPECT_EQ(DeviceValue(pos::MicGEQ + band), curve[band]) << "band " << band;
            EXPECT_FLOAT_EQ(Ctl<EqGraph>(1015).Point(band).gain, decibels[band]) << "band " << band;
        }
        EXPECT_EQ(Window().NoticeText(), language == 1 ? "Flat default EQ " : "均衡已经置为出厂均衡");
        Close();
    }
}

TEST_F(MainWindowCommands, FlatPeqResetsTheShownPathAndKeepsItsSwitch) {
    OpenSynchronised(1, [](VirtualAmp& amp) {
        for (const std::uint8_t peq : {pos::PEQ_Mic, pos::PEQ_Music}) {
            for (std::uint8_t field = pos::PEQLowGain; field < pos::kPeqFields; ++field) {
                SetDeviceValue(amp, peq + field, 0x22);
            }
        }
    });
    const std::uint8_t musicOn = StoreValue(pos::PEQ_Music + pos::PEQOn);
    Click(Window(), 1036);
    EXPECT_EQ(m_questions.back().caption, "Confirm?") << "the question is in the window's language";
    EXPECT_EQ(m_questions.back().text, "Reset the mic PEQ?");
    EXPECT_EQ(Window().NoticeText(), "Mic PEQ Flat finished");
    for (std::uint8_t field = pos::PEQLowGain; field < pos::kPeqFields; ++field) {
        EXPECT_EQ(DeviceValue(pos::PEQ_Mic + field), 0x40) << "mic field " << int{field};
        EXPECT_EQ(DeviceValue(pos::PEQ_Music + field), 0x22) << "music field " << int{field};
    }
    for (int band = 0; band < 4; ++band) {
        EXPECT_FLOAT_EQ(Ctl<EqGraph>(1022).Point(band).gain, ValueFormat::PeqGainDb(0x40)) << "band " << band;
    }

    Click(Window(), 1023);  // music view
    Click(Window(), 1036);
    EXPECT_EQ(m_questions.back().text, "Reset the music PEQ?");
    EXPECT_EQ(Window().NoticeText(), "Music PEQ Flat finished");
    EXPECT_EQ(DeviceValue(pos::PEQ_Music + pos::PEQLowGain), 0x40);
    EXPECT_EQ(StoreValue(pos::PEQ_Music + pos::PEQOn), musicOn);
}

TEST_F(MainWindowCommands, SwitchingTheLanguageTwiceRestoresItAndWritesTheSettingEachTime) {
    const QString setting = QLatin1String(UserSettings::kLanguage);
    for (const int first : {1, 0}) {
        UserSettings::Write(setting, 7);
        OpenSynchronised(first);
        const QString firstCaption = Ctl<QAbstractButton>(1019).text();
        const QString status = Text(1017);

        Click(Window(), 1019);
        EXPECT_EQ(Window().Language(), 1 - first);
        EXPECT_EQ(UserSettings::Read(setting), 1 - first);
        EXPECT_EQ(Ctl<QAbstractButton>(1019).text(), first == 1 ? "English" : "中文");
        EXPECT_EQ(Text(1017), first == 1 ? "USB已连接" : "Connected");

        Click(Window(), 1019);
        EXPECT_EQ(Window().Language(), first);
        EXPECT_EQ(UserSettings::Read(setting), first);
        EXPECT_EQ(Ctl<QAbstractButton>(1019).text(), firstCaption);
        EXPECT_EQ(Text(1017), status);
        Close();
    }
}

class MainWindowFiles : public MainWindowTest {
  protected:
    QString PathOf(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    static QByteArray Contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void Write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir m_dir;
};

TEST_F(MainWindowFiles, ASaveToANameEndingInTxtWritesTheVqmFile) {
    OpenSynchronised();
    m_chosenFile = PathOf("set.txt");
    Click(Window(), 1160);
    EXPECT_EQ(m_fileDialogs, std::vector<bool>{true});
    EXPECT_EQ(Contents(PathOf("set.vqm")).size(), 141);
    EXPECT_FALSE(QFile::exists(PathOf("set.txt")));
    EXPECT_EQ(Window().NoticeText(), "File saved");
    EXPECT_TRUE(m_questions.empty()) << "nothing to replace";
}

TEST_F(MainWindowFiles, AnExistingVqmFileIsReplacedOnlyWhenTheUserAgrees) {
    OpenSynchronised(0);
    const QByteArray old(141, 'x');
    Write(PathOf("set.vqm"), old);
    m_chosenFile = PathOf("set.json");

    m_answer = false;
    Click(Window(), 1160);
    ASSERT_EQ(m_questions.size(), 1u);
    EXPECT_EQ(m_questions[0].text, "文件 " + PathOf("set.vqm") + " 已存在，要替换它吗?");
    EXPECT_EQ(Contents(PathOf("set.vqm")), old);
    EXPECT_TRUE(Window().NoticeText().isEmpty());

    m_answer = true;
    Click(Window(), 1160);
    EXPECT_NE(Contents(PathOf("set.vqm")), old);
    EXPECT_EQ(Window().NoticeText(), "文件保存成功!");

    m_chosenFile = PathOf("set.vqm");  // the file dialog itself asked about this one
    Click(Window(), 1160);
    EXPECT_EQ(m_questions.size(), 2u);
}

TEST_F(MainWindowFiles, ASaveThatCannotBeWrittenSaysSoAndACancelledOneIsSilent) {
    OpenSynchronised();
    m_chosenFile = PathOf("missing/set.vqm");
    Click(Window(), 1160);
    ASSERT_EQ(m_warnings.size(), 1u);
    EXPECT_EQ(m_warnings[0].caption, "Can't write to file");
    EXPECT_TRUE(m_warnings[0].text.contains(PathOf("missing/set.vqm"))) << m_warnings[0].text.toStdString();
    EXPECT_TRUE(Window().NoticeText().isEmpty());
    EXPECT_EQ(Window().SaveModeDataFile(), -1);

    m_chosenFile.clear();
    EXPECT_EQ(Window().SaveModeDataFile(), 0);
    EXPECT_EQ(Window().LoadModeDataFile(), 0);
    EXPECT_EQ(m_warnings.size(), 2u);
}

TEST_F(MainWindowFiles, ALoadedFileIsWrittenToTheDeviceAndShown) {
    OpenSynchronised();
    m_chosenFile = PathOf("loud");
    SetDeviceValue(Amp(), pos::SubLevel, 77);
    Session().SynchronizeData(false);
    ASSERT_TRUE(WaitForSyncs(2));
    Click(Window(), 1160);  // "loud" becomes loud.vqm
    ASSERT_EQ(Contents(PathOf("loud.vqm")).size(), 141);

    SetDeviceValue(Amp(), pos::SubLevel, 5);
    Session().SynchronizeData(false);
    ASSERT_TRUE(WaitForSyncs(3));
    ASSERT_EQ(ShownValue("SubLevel"), "5");

    int direction = -1;
    QObject::connect(&Window(), &MainWindow::synchronised, [&](int w) { direction = w; });
    m_chosenFile = PathOf("loud.vqm");
    Click(Window(), 1039);
    EXPECT_EQ(m_fileDialogs.back(), false);
    ASSERT_TRUE(WaitForSyncs(4));
    EXPECT_EQ(direction, 1) << "a write-all";
    EXPECT_EQ(ShownValue("SubLevel"), "77");
    EXPECT_EQ(DeviceValue(pos::SubLevel), 77);
    EXPECT_FALSE(Window().IsSyncing());
}

TEST_F(MainWindowFiles, ARefusedFileIsExplainedAndNothingIsWritten) {
    OpenSynchronised();
    Write(PathOf("short.vqm"), QByteArray(100, '\x01'));
    Write(PathOf("hostile.vqm"), QByteArray(141, '\xFF'));
    const auto before = Session().Store().GetFileBlock();
    const TraceCapture trace;
    struct Case {
        const char* name;
        const char* caption;
        const char* says;
    };
    const Case cases[] = {
        {"short.vqm", "Can't read file", "100 bytes"},
        {"absent.vqm", "Can't read file", "Can't open"},
        {"hostile.vqm", "Not a valid mode data file", "mic gain is 255, outside its range 0..127"},
    };
    for (const Case& c : cases) {
        m_chosenFile = PathOf(c.name);
        Click(Window(), 1039);
        ASSERT_FALSE(m_warnings.empty());
        EXPECT_EQ(m_warnings.back().caption, c.caption);
        EXPECT_TRUE(m_warnings.back().text.contains(PathOf(c.name))) << m_warnings.back().text.toStdString();
        EXPECT_TRUE(m_warnings.back().text.contains(c.says)) << m_warnings.back().text.toStdString();
    }
    EXPECT_EQ(m_warnings.size(), 3u);
    EXPECT_FALSE(trace.Contains("Start thread:SynchronizeData\n")) << "no write-all";
    EXPECT_EQ(Session().Store().GetFileBlock(), before);
    Drain();
    EXPECT_EQ(m_syncs, 1);
}

TEST_F(MainWindowFiles, LoadOpensTheFileChosenUnderItsOwnName) {
    OpenSynchronised();
    ModeDataFile::Image image = ModeDataFile::Snapshot(Session());
    image[pos::SubLevel] = 55;
    ASSERT_TRUE(ModeDataFile::WriteImage(PathOf("backup.bin").toStdString(), image).ok);
    Write(PathOf("backup.vqm"), QByteArray(3, '\x01'));
    m_chosenFile = PathOf("backup.bin");
    Click(Window(), 1039);
    ASSERT_TRUE(WaitForSyncs(2));
    EXPECT_TRUE(m_warnings.empty());
    EXPECT_EQ(ShownValue("SubLevel"), "55");
}

// "模式数据.vqm" saved on a Chinese Windows PC: GBK bytes that are not UTF-8, which no QString keeps (Qt's
// own file dialog does not list such a file).
const std::string kGbkName = "\xc4\xa3\xca\xbd\xca\xfd\xbe\xdd.vqm";

// The bytes of a file's name in the test's folder, whatever their encoding.
class MainWindowGivenFiles : public MainWindowFiles {
  protected:
    // QTemporaryDir sees no name that is not UTF-8, so cannot remove it.
    ~MainWindowGivenFiles() override { ::unlink(BytesOf(kGbkName).c_str()); }

    std::string BytesOf(const std::string& name) const {
        return QFile::encodeName(m_dir.path()).toStdString() + '/' + name;
    }
    // Writes the session's set with the sub level changed to `subLevel` under the name.
    void WriteSet(const std::string& path, std::uint8_t subLevel) {
        ModeDataFile::Image image = ModeDataFile::Snapshot(Session());
        image[pos::SubLevel] = subLevel;
        ASSERT_TRUE(ModeDataFile::WriteImage(path, image).ok) << path;
    }
    // Waits until `syncs` synchronisations in all have been handled, failing at once when a file is refused.
    void WaitForLoad(int syncs) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_syncs >= syncs || !m_warnings.empty(); }, kDeadlineMs));
        ASSERT_TRUE(m_warnings.empty()) << "refused: " << m_warnings.front().text.toStdString();
    }
    // Drags the text/uri-list over the window's centre and lets it go there, as a file manager does: true
    // when the window took the drop.
    bool Drop(const QByteArray& uriList) {
        Window().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Window()));
        QMimeData data;
        data.setData(QStringLiteral("text/uri-list"), uriList);
        QWindow* window = Window().windowHandle();
        const QPoint centre(window->width() / 2, window->height() / 2);
        const QPlatformDragQtResponse over = QWindowSystemInterface::handleDrag(
            window, &data, centre, Qt::CopyAction, Qt::LeftButton, Qt::NoModifier);
        const QPlatformDropQtResponse dropped = QWindowSystemInterface::handleDrop(
            window, &data, centre, Qt::CopyAction, Qt::LeftButton, Qt::NoModifier);
        return over.isAccepted() && dropped.isAccepted();
    }
};

// A file given while the window starts waits for the first synchronisation, then loads as LOAD loads a
// chosen file: its values are shown and written to the amplifier, without a file dialog or a message.
TEST_F(MainWindowGivenFiles, AFileGivenByTheBytesOfItsNameLoadsAfterTheFirstSynchronisation) {
    const std::string path = BytesOf(kGbkName);
    ASSERT_NE(QFile::encodeName(QFile::decodeName(path.c_str())).toStdString(), path) << "a name Qt loses";
    Open();
    WriteSet(path, 66);
    int direction = -1;
    QObject::connect(&Window(), &MainWindow::synchronised, [&](int w) { direction = w; });
    Window().OpenModeFile(path);
    ASSERT_NO_FATAL_FAILURE(WaitForLoad(2));  // the first synchronisation and the file's write-all
    EXPECT_EQ(direction, 1) << "the file's write-all comes after the first read";
    EXPECT_EQ(ShownValue("SubLevel").toStdString(), "66");
    EXPECT_EQ(DeviceValue(pos::SubLevel), 66);
    EXPECT_TRUE(m_fileDialogs.empty());
    EXPECT_TRUE(Window().Undo().UndoAction()->isEnabled()) << "the load is an undo step";
}

// A file dropped onto the window by a URI whose percent escapes stand for GBK bytes loads like one given on
// the command line; a drag of anything but one local file is refused and loads nothing.
TEST_F(MainWindowGivenFiles, ADroppedFileLoadsByTheBytesItsUriEncodes) {
    OpenSynchronised();
    WriteSet(BytesOf(kGbkName), 55);
    const QByteArray folder = QUrl::fromLocalFile(m_dir.path()).toEncoded();
    struct Case {
        const char* what;
        QByteArray uriList;
    };
    const Case refused[] = {
        {"two files", folder + "/a.vqm\r\n" + folder + "/b.vqm\r\n"},
        {"a web address", "https://example.org/set.vqm\r\n"},
        {"a file on another host", "file://studio-pc/set.vqm\r\n"},
        {"no URI at all", ""},
    };
    for (const Case& c : refused) {
        EXPECT_FALSE(Drop(c.uriList)) << c.what;
    }
    ASSERT_TRUE(Drop(folder + "/%C4%A3%CA%BD%CA%FD%BE%DD.vqm\r\n"));
    ASSERT_NO_FATAL_FAILURE(WaitForLoad(2));
    EXPECT_EQ(ShownValue("SubLevel").toStdString(), "55");
    EXPECT_EQ(DeviceValue(pos::SubLevel), 55);
    EXPECT_EQ(m_syncs, 2) << "the refused drags loaded nothing";
}

// A given file that cannot be loaded is told with the very message LOAD gives for it, and the panel keeps
// what it held: the edit made before, no write-all, no undo step.
TEST_F(MainWindowGivenFiles, ARefusedFileIsToldAsLoadTellsItAndNothingIsLost) {
    OpenSynchronised();
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder.vqm")));
    Write(PathOf("short.vqm"), QByteArray(100, '\x01'));
    Write(PathOf("hostile.vqm"), QByteArray(141, '\xFF'));
    Drag(2100, 127 - 90);
    const auto edited = Session().Store().GetFileBlock();
    const QString undo = Window().Undo().UndoAction()->text();
    for (const char* name : {"absent.vqm", "folder.vqm", "short.vqm", "hostile.vqm"}) {
        SCOPED_TRACE(name);
        m_warnings.clear();
        m_chosenFile = PathOf(name);
        Click(Window(), 1039);
        ASSERT_EQ(m_warnings.size(), 1u) << "LOAD refuses it";
        const Prompt load = m_warnings.front();

        Window().OpenModeFile(BytesOf(name));
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_warnings.size() == 2; }, kDeadlineMs));
        EXPECT_EQ(m_warnings.back().caption, load.caption);
        EXPECT_EQ(m_warnings.back().text, load.text);
        EXPECT_EQ(Session().Store().GetFileBlock(), edited);
        EXPECT_EQ(Window().Undo().UndoAction()->text(), undo);
    }
    Drain();
    EXPECT_EQ(m_syncs, 1) << "no write-all";
}

// A given file asks first, as LOAD does, when the settings differ from the memory mode last loaded; a
// cancel keeps them.
TEST_F(MainWindowGivenFiles, AGivenFileAsksBeforeLeavingAModifiedModeAsLoadDoes) {
    OpenSynchronised();
    WriteSet(BytesOf("set.vqm"), 44);
    Ctl<QAbstractButton>(1000).click();
    ASSERT_TRUE(WaitForSyncs(2));
    Drag(2100, 127 - 90);
    const auto edited = Session().Store().GetFileBlock();

    m_modeAnswer = ModeChanges::Answer::Cancel;
    m_chosenFile = PathOf("set.vqm");
    Click(Window(), 1039);
    ASSERT_EQ(m_modeQuestions.size(), 1u);
    Window().OpenModeFile(BytesOf("set.vqm"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_modeQuestions.size() == 2; }, kDeadlineMs));
    EXPECT_EQ(m_modeQuestions.back().text, m_modeQuestions.front().text);
    EXPECT_EQ(Session().Store().GetFileBlock(), edited);

    m_modeAnswer = ModeChanges::Answer::Discard;
    Window().OpenModeFile(BytesOf("set.vqm"));
    ASSERT_NO_FATAL_FAILURE(WaitForLoad(3));
    EXPECT_EQ(ShownValue("SubLevel").toStdString(), "44");
    EXPECT_TRUE(m_fileDialogs.empty()) << "the cancelled LOAD asked before its file dialog";
}

TEST_F(MainWindowFiles, AFileLoadedWithoutADeviceIsShownWithoutAModelComplaint) {
    Open("normal", 1, [this](VirtualAmp&) { Provider().Unplug(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Window().IsWaitingToConnect(); }, kDeadlineMs));
    ModeDataFile::Image image = ModeDataFile::Snapshot(Session());
    image[pos::SubLevel] = 66;
    ASSERT_TRUE(ModeDataFile::WriteImage(PathOf("set.vqm").toStdString(), image).ok);

    m_chosenFile = PathOf("set.vqm");
    Click(Window(), 1039);
    ASSERT_TRUE(WaitForSyncs(1));
    EXPECT_EQ(ShownValue("SubLevel"), "66");
    EXPECT_TRUE(m_warnings.empty()) << "no device, so no model to complain about";
    EXPECT_TRUE(m_questions.empty());
    EXPECT_TRUE(Text(1017).startsWith("Offline ("))
        << "offline, the file's changes counted: " << Text(1017).toStdString();
}

}  // namespace
}  // namespace varnoth::test
