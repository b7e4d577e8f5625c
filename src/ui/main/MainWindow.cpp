// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QStringList>
#include <QStyle>

#include <algorithm>
#include <cstdio>
#include <optional>

#include <utility>

#include "device/Trace.h"
#include "session/DeviceSession.h"
#include "ui/controls/Announcer.h"
#include "ui/controls/CompressorCurve.h"
#include "ui/controls/ControlAccessibility.h"
#include "ui/controls/ControlFonts.h"
#include "ui/controls/EqGraph.h"
#include "ui/controls/GroupBox.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/ImageResources.h"
#include "ui/controls/LevelMeter.h"
#include "ui/controls/StepSlider.h"
#include "ui/controls/TrackSlider.h"
#include "ui/dialogs/DeviceFunctions.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/FeatureTexts.h"
#include "ui/dialogs/Notice.h"
#include "ui/main/ColourLabel.h"
#include "ui/main/EditRules.h"
#include "ui/main/Language.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/MainWindowTexts.h"
#include "ui/main/ModeChanges.h"
#include "ui/main/OfflineEdits.h"
#include "ui/main/QuickResets.h"
#include "ui/main/RemoteControlPanel.h"
#include "ui/main/SessionHost.h"
#include "ui/main/StepText.h"
#include "ui/main/TypedValues.h"
#include "ui/main/UserSettings.h"
#include "ui/main/WindowColours.h"
#include "ui/main/WindowGroups.h"
#include "ui/main/WindowMenus.h"
#include "ui/main/WindowUndo.h"

namespace varnoth {

using namespace mainwin;

namespace {

// Room the window system's frame and title bar take around the window: the frame's two sides are thin, the
// title bar and the bottom edge take more.
constexpr int kFrameAllowance = 16;
constexpr int kSideFrameAllowance = 4;
constexpr int kTitleBarAllowance = 48;
constexpr int kDisconnectedPicture = 239;
constexpr int kMicPicture = 214;
constexpr int kMusicPicture = 213;

// The pictures of the image buttons: standard and alternate (selected) look.
struct ButtonImages {
    int id;
    int standard;
    int alternate;
    bool ownFont;  // the channel and page buttons carry captions in their own font
};
constexpr ButtonImages kButtonImages[] = {
    {1000, 221, 225, false},
    {1001, 222, 226, false},
    {1002, 223, 227, false},
    {1003, 224, 228, false},
    {kCenterPageButton, 236, 237, true},
    {kMicPageButton, 236, 237, true},
    {kMusicPageButton, 236, 237, true},
    {kSubPageButton, 236, 237, true},
    {kMicViewButton, 236, 237, true},
    {kMusicViewButton, 236, 237, true},
};
constexpr int kButtonFontHeight = 12;

constexpr int kMasterTicks = 2;
constexpr int kStepTicks = 12;
constexpr int kMeterBands = 1;
constexpr int kMeterLeds = 14;
constexpr int kGroupBoxes[] = {kChannelGroup, kEqGroup, kEffectGroup};
const QColor kGroupBorder(255, 180, 0);
const QColor kGreyLine(128, 128, 128);

bool IsImageButton(int id) {
    for (const ButtonImages& button : kButtonImages) {
        if (button.id == id) {
            return true;
        }
    }
    return false;
}

Qt::Alignment LabelAlignment(unsigned style) {
    if (style & kRightAligned) {
        return Qt::AlignRight | Qt::AlignTop;
    }
    if (style & kCentred) {
        return Qt::AlignHCenter | Qt::AlignTop;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

}  // namespace

const DialogTemplate& MainWindow::Template() {
    return MainWindowTemplate();
}

MainWindow::MainWindow(SessionHost& host, int language, MainWindowTiming timing, QWidget* parent)
    : QDialog(parent),
      m_session(host.Session()),
      m_events(host.Events()),
      m_upgradeSession(host.Session()),
      m_timing(timing) {
    SetAccessibleRole(*this, QAccessible::Window);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    DefaultHooks();
    InitImageResources();
    BuildDialog(*this, Template(), [this](const ControlTemplate& control, QWidget* parentWidget) {
        return MakeControl(control, parentWidget);
    });
    MakeGroups(*this);
    CacheControls();

    // The view the window was last closed in.
    m_micView = UserSettings::Read(QLatin1String(UserSettings::kMicView), 1, 0, 1);
    m_eqPage = UserSettings::Read(QLatin1String(UserSettings::kEqPage), 1, 0, kEqPages - 1);
    InitControls();
    SetUpColours();
    ConnectEdits();
    ConnectCommands();
    m_announcer = new Announcer(this);
    m_undo = std::make_unique<WindowUndo>(*this, m_session);
    new TypedValues(*this);
    m_modes = std::make_unique<ModeChanges>(*this, m_session);
    m_resets = std::make_unique<QuickResets>(*this, m_session, *m_undo);
    m_offline = new OfflineEdits(*this, m_session, *m_undo);
    m_remote = std::make_unique<RemoteControlPanel>(*this, m_session, *m_undo->BackgroundMenu());
    m_functions = std::make_unique<DeviceFunctions>(m_session, *this);
    m_menus = new WindowMenus(*this);
    PlaceMenuBar(m_menus->Bar(), m_menus->Height());

    // A write-all of a loaded file reports its end whether or not a device has ever been connected.
    m_session.SetObserver(&m_events);
    connect(&m_events, &SessionEvents::syncDone, this, &MainWindow::OnSyncDone);
    connect(&m_events, &SessionEvents::keyStudied, this, &MainWindow::OnKeyStudied);
    connect(&m_events, &SessionEvents::upgradeDone, this, &MainWindow::OnUpgradeDone);
    connect(&m_events, &SessionEvents::answeringChanged, this, &MainWindow::OnAnsweringChanged);
    connect(&m_events, &SessionEvents::volumesFollowed, this, &MainWindow::FollowVolumes);
    m_storeChanges = std::make_unique<ChangeFeed::Subscription>(m_session.Store().Changes(),
                                                                [this] { m_events.OnStoreChanged(); });
    connect(&m_events, &SessionEvents::storeChanged, this, &MainWindow::OnStoreChanged);
    connect(&m_events, &SessionEvents::storeChanged, m_offline, &OfflineEdits::StoreChanged);
    connect(&m_deviceEvents, &DeviceEvents::deviceChanged, this, &MainWindow::OnDeviceChange);

    ApplyLanguage(language);

    m_connectTimer.setInterval(m_timing.timerPeriod);
    m_meterFeedTimer.setInterval(m_timing.timerPeriod);
    m_levelPollTimer.setInterval(m_timing.timerPeriod);
    connect(&m_connectTimer, &QTimer::timeout, this, &MainWindow::OnConnectTimer);
    connect(&m_meterFeedTimer, &QTimer::timeout, this, &MainWindow::FeedMeters);
    connect(&m_levelPollTimer, &QTimer::timeout, this, &MainWindow::PollLevels);
    m_connectTimer.start();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
}

void MainWindow::SetHooks(MainWindowHooks hooks) {
    m_hooks = std::move(hooks);
    DefaultHooks();
}

QWidget* MainWindow::MakeControl(const ControlTemplate& control, QWidget* parent) {
    const int id = control.id;
    if (IsImageButton(id)) {
        auto* button = new ImageButton(parent);
        button->setText(QString::fromUtf8(control.caption ? control.caption : ""));
        return button;
    }
    if (const SliderEdit* edit = FindSliderEdit(id)) {
        // The master volumes are plain trackbars; the others step as the amplifier does.
        if (edit->rule == SliderRule::Position) {
            return new TrackSlider(Qt::Horizontal, parent);
        }
        return new StepSlider((control.style & kVertical) ? Qt::Vertical : Qt::Horizontal, parent);
    }
    switch (id) {
        case kChannelGroup:
        case kEqGroup:
        case kEffectGroup:
            return new GroupBox(parent);
        case kGraphicPanel:
        case kPeqPanel:
            return new EqGraph(parent, id);
        case kCompressPanel: {
            auto* curve = new CompressorCurve(parent);
            SetAccessibleRole(*curve, QAccessible::Chart);
            return curve;
        }
        case kLevelMeter1:
        case kLevelMeter2:
            return new LevelMeter(parent);
        default:
            break;
    }
    if (control.kind == ControlKind::Frame && id == kNoId) {
        auto* line = new QFrame(parent);
        SetAccessibleRole(*line, QAccessible::Separator);
        QPalette grey = line->palette();
        grey.setColor(QPalette::Window, kGreyLine);
        line->setPalette(grey);
        line->setAutoFillBackground(true);
        return line;
    }
    if (control.kind == ControlKind::Label && WindowColours::IsColoured(id)) {
        // One line each: a text wider than its label is cut at the sides rather than wrapped out of sight.
        auto* label = new ColourLabel(QString::fromUtf8(control.caption ? control.caption : ""), parent);
        label->setAlignment(LabelAlignment(control.style));
        return label;
    }
    return nullptr;
}

void MainWindow::CacheControls() {
    for (const ControlTemplate& control : Template().controls) {
        if (control.id != kNoId) {
            m_controls[control.id] = FindControl(*this, control.id);
        }
    }
    for (const int id : GroupIds()) {
        m_controls[id] = FindControl(*this, id);
    }
    m_graphicPanel = Control<EqGraph>(kGraphicPanel);
    m_peqPanel = Control<EqGraph>(kPeqPanel);
    m_compressPanel = Control<CompressorCurve>(kCompressPanel);
    m_meters[0] = Control<LevelMeter>(kLevelMeter1);
    m_meters[1] = Control<LevelMeter>(kLevelMeter2);
}

QWidget* MainWindow::Control(int id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

void MainWindow::Announce(const QString& message) {
    m_announcer->Announce(message);
}

QWidget* MainWindow::Surface() const {
    return Control(kChannelGroup)->parentWidget();
}

void MainWindow::InitControls() {
    for (const ButtonImages& images : kButtonImages) {
        auto* button = Control<ImageButton>(images.id);
        button->LoadImages(images.standard, images.alternate);
        if (images.ownFont) {
            button->setFont(CellHeightFont(SongTiFaces(), kButtonFontHeight));
        }
    }

    for (const SliderEdit& edit : SliderEdits()) {
        auto* slider = Control<QSlider>(edit.id);
        slider->setRange(0, SliderMaximum(edit));
        if (edit.rule == SliderRule::Position) {
            slider->setTickInterval(kMasterTicks);
            slider->setTickPosition(QSlider::TicksBelow);
        } else {
            slider->setTickInterval(kStepTicks);
        }
    }

    for (LevelMeter* meter : m_meters) {
        meter->SetBands(kMeterBands);
        meter->SetLedCount(kMeterLeds);
        meter->ResetControl();
        meter->Start(m_timing.meterPeriodMs);
    }

    FillPresetLists();

    // A screen reader reads a slider as its label shows it, whichever way its positions run.
    for (const SliderEdit& edit : SliderEdits()) {
        Control<TrackSlider>(edit.id)->SetShownText([this, &edit](int position) {
            return ValueText(
                edit, static_cast<std::uint8_t>(SliderValue(edit.rule, SliderMaximum(edit), position)));
        });
    }

    for (const int id : kGroupBoxes) {
        Control<GroupBox>(id)->SetBorderColor(kGroupBorder);
    }

    m_peqPanel->DiscardBackground();
    m_peqPanel->SetScaleMode(1);
    m_peqPanel->SetSelected(-1);
    m_peqPanel->SetPointCount(4);
    m_peqPanel->update();

    auto* status = Control<QLabel>(kConnectionPicture);
    status->setPixmap(ImagePixmap(kDisconnectedPicture));
    status->resize(status->pixmap().deviceIndependentSize().toSize());
    auto* channel = Control<QLabel>(kChannelPicture);
    channel->setPixmap(ImagePixmap(m_micView != 0 ? kMicPicture : kMusicPicture));
    channel->resize(channel->pixmap().deviceIndependentSize().toSize());
}

void MainWindow::SetUpColours() {
    WindowColours::Apply(Template(), [this](int id) { return Control<ColourLabel>(id); },
                         {[this] { return m_session.IsConnected() && m_session.IsAnswering(); },
                          [this] { return m_micView != 0; }});
}

void MainWindow::FillPresetLists() {
    for (const int id : {kEffect1List, kEffect2List}) {
        auto* list = Control<QComboBox>(id);
        list->clear();
        for (const Bilingual& name : EffectPresetNames()) {
            list->addItem(QString::fromUtf8(name.In(m_language)));
        }
    }
    auto* compressor = Control<QComboBox>(kCompressPresetList);
    compressor->clear();
    for (const Bilingual& name : CompressorPresetNames()) {
        compressor->addItem(QString::fromUtf8(name.In(m_language)));
    }
}

void MainWindow::ApplyLanguage(int language) {
    m_language = language == kChinese ? kChinese : kEnglish;
    varnoth::ApplyLanguage(m_language, *this);
    for (const SliderEdit& edit : SliderEdits()) {
        SetText(edit.nameLabel, QString::fromUtf8(edit.parameter.Caption(m_language)));
    }
    RefreshLanguageTexts();
}

void MainWindow::ShowNotice(const QString& text, int periodMs) {
    Notice::ShowNotice(m_notice, this, m_language, text, periodMs);
}

QString MainWindow::NoticeText() const {
    return m_notice ? m_notice->Text() : QString();
}

// Enter and Esc do nothing; only the close box ends the window.
void MainWindow::accept() {}

void MainWindow::reject() {}

void MainWindow::setVisible(bool visible) {
    if (visible && !m_placed) {
        m_placed = true;
        PlaceOnScreen();
    }
    QDialog::setVisible(visible);
}

// The window opens where it was last closed when that is still on a screen. A window larger than its
// screen's free area shows its controls in a scroll area of the size that fits.
void MainWindow::PlaceOnScreen() {
    const std::optional<QPoint> at =
        UserSettings::ReadPoint(QString::fromLatin1(UserSettings::kWindowPosition));
    QScreen* remembered =
        at ? QGuiApplication::screenAt(*at + QPoint(kFrameAllowance, kTitleBarAllowance / 2)) : nullptr;
    const QScreen* screen = remembered != nullptr ? remembered : this->screen();
    if (screen == nullptr) {
        return;
    }
    const QRect free = screen->availableGeometry();
    ScrollWhenLargerThan(free.size() - QSize(kSideFrameAllowance, kTitleBarAllowance));
    if (remembered != nullptr) {
        move(std::clamp(at->x(), free.left(), std::max(free.left(), free.right() + 1 - width())),
             std::clamp(at->y(), free.top(), std::max(free.top(), free.bottom() + 1 - height())));
    }
}

void MainWindow::PlaceMenuBar(QWidget& bar, int height) {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow() && child != &bar) {
            child->move(child->pos() + QPoint(0, height));
        }
    }
    setFixedSize(width(), this->height() + height);
    bar.setGeometry(0, 0, width(), height);
    // First in the window's children, where a screen reader and the window's focus order meet it first.
    bar.lower();
}

void MainWindow::ScrollWhenLargerThan(QSize room) {
    const QSize full = size();
    if (full.width() <= room.width() && full.height() <= room.height()) {
        return;
    }
    // The menu bar stays above the scroll area; the controls below it scroll.
    QMenuBar& bar = m_menus->Bar();
    const int top = bar.height();
    const QSize layout = full - QSize(0, top);
    const QSize below = room - QSize(0, top);
    auto* content = new QWidget;
    content->setFixedSize(layout);
    content->setPalette(palette());
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() || child == &bar) {
            continue;
        }
        const QPoint at = child->pos() - QPoint(0, top);
        MoveInto(*child, *content);
        child->move(at);
    }
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    // A scroll bar takes its width from the other direction: the window grows by it where the room allows,
    // so that a layout that fits in width does not scroll sideways only because its height is cut.
    const int scrollBar = scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll);
    QSize shown = layout;
    if (layout.height() > below.height()) {
        shown.rwidth() += scrollBar;
        // A layout as wide as the room scrolls only up and down: the vertical bar covers its right margin.
        if (layout.width() <= below.width()) {
            scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
    }
    if (layout.width() > below.width()) {
        shown.rheight() += scrollBar;
    }
    shown = shown.boundedTo(below.expandedTo(QSize(1, 1)));
    setFixedSize(shown + QSize(0, top));
    bar.setGeometry(0, 0, width(), top);
    scroll->setGeometry(0, top, width(), shown.height());
    scroll->show();
}

void MainWindow::CloseWhenSafe() {
    m_quitRequested = true;
    m_modes->AskNoMore();
    // The end of a transfer closes the window; nothing cuts the flash short. Only what explains that to a
    // person goes: the upgrade dialog stays until then.
    if (m_session.IsUpgrading()) {
        Trace("quit requested: closing when the firmware transfer has ended\n");
        m_closeAfterUpgrade = true;
        CancelDialogs(m_upgradeDialog);
        return;
    }
    CancelDialogs(nullptr);
    // The window's last message, after a close by hand, has just been cancelled: that close ends by itself.
    if (m_closing) {
        return;
    }
    // A close by hand still asking (the question before edits are left behind) gives up with its question;
    // Qt takes no close inside another, so the window closes once it has, asking nothing.
    if (m_inCloseEvent) {
        QTimer::singleShot(0, this, [this] { close(); });
        return;
    }
    close();
}

// A dialog left open over the window (a file chooser, a question) is cancelled first: the window's own loop
// cannot end while a dialog's loop runs above it. One that stays (the synchronisation's progress) ends with
// the connection the window's closing ends.
void MainWindow::CancelDialogs(const QWidget* keep) {
    for (QWidget* modal = QApplication::activeModalWidget();
         modal != nullptr && modal != this && modal != keep;) {
        modal->close();
        QWidget* next = QApplication::activeModalWidget();
        if (next == modal) {
            Trace("quit requested: the dialog over the window stays until the connection ends\n");
            break;
        }
        modal = next;
    }
}

void MainWindow::Warn(const QString& caption, const QString& text) {
    if (m_quitRequested) {
        std::fprintf(stderr, "varnoth: %s: %s\n", caption.toLocal8Bit().constData(),
                     text.toLocal8Bit().constData());
        return;
    }
    m_hooks.warning(*this, caption, text);
}

// The edits the amplifier never acknowledged, named once the link has stopped: they may not have reached it.
// The terminal or the session's log keeps the list; a box shows it only to the user who closed the window.
void MainWindow::TellUndelivered() {
    QStringList names;
    for (const std::size_t position : m_session.UnacknowledgedPositions()) {
        if (const std::optional<ParameterRef> ref = ParameterAt(static_cast<int>(position))) {
            const QString name = QString::fromStdString(ParameterTitle(*ref, m_language));
            if (!names.contains(name)) {
                names.append(name);
            }
        }
    }
    if (names.isEmpty()) {
        return;
    }
    const QString text = QString::fromUtf8(kNotDelivered.In(m_language)) + names.join(QStringLiteral(", "));
    std::fprintf(stderr, "varnoth: %s\n", text.toLocal8Bit().constData());
    if (!m_quitRequested) {
        m_hooks.warning(*this, QString::fromUtf8(kNotDeliveredCaption.In(m_language)), text);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    const QScopedValueRollback<bool> inCloseEvent(m_inCloseEvent, true);
    if (m_session.IsUpgrading()) {
        event->ignore();
        if (!m_closeAfterUpgrade) {
            Warn(QString::fromStdString(FeatureTextOf(FeatureText::UpgradeCaption, m_language)),
                 QString::fromStdString(FeatureTextOf(FeatureText::UpgradeDoNotClose, m_language)));
        }
        return;
    }
    if (!m_modes->MayLeave(ModeChanges::Leaving::Close, ModeChanges::kNoMode, [this] { close(); })) {
        event->ignore();
        return;
    }
    if (isVisible()) {
        UserSettings::WritePoint(QString::fromLatin1(UserSettings::kWindowPosition), pos());
    }
    UserSettings::Write(QLatin1String(UserSettings::kMicView), m_micView);
    UserSettings::Write(QLatin1String(UserSettings::kEqPage), m_eqPage);
    m_closing = true;
    if (m_session.IsConnected()) {
        DisconnectWithFarewell();
        TellUndelivered();
    }
    m_connectTimer.stop();
    m_fileTimer.stop();
    StopLevelTimers();
    event->accept();
    done(QDialog::Rejected);
    m_closing = false;
}

}  // namespace varnoth
