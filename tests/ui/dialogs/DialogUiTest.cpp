// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <climits>

#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/FeatureTexts.h"
#include "ui/dialogs/Notice.h"
#include "ui/dialogs/SyncProgressDialog.h"

namespace varnoth {
namespace {

constexpr int kLongMs = 3600 * 1000;
constexpr int kDeadlineMs = 30000;

class CustomControl : public QWidget {
  public:
    using QWidget::QWidget;
};

constexpr std::array kSampleControls = {
    ControlTemplate{1012, ControlKind::Label, {306, 3, 19, 8}, "LOAD", kRightAligned},
    ControlTemplate{1041, ControlKind::PushButton, {250, 1, 49, 12}, "设置", kHidden},
    ControlTemplate{1098, ControlKind::CheckBox, {10, 30, 40, 10}, "ON", kDisabled},
    ControlTemplate{1100, ControlKind::RadioButton, {10, 44, 60, 10}, "VOL BY MODE"},
    ControlTemplate{1153, ControlKind::GroupBox, {459, 258, 117, 116}, "主音量", kCentred},
    ControlTemplate{1022, ControlKind::Frame, {55, 32, 232, 92}, "MIC"},
    ControlTemplate{1038, ControlKind::Edit, {80, 60, 40, 12}, "", kReadOnly | kCentred | kDisabled},
    ControlTemplate{2100, ControlKind::Trackbar, {18, 44, 12, 53}, nullptr, kVertical},
    ControlTemplate{1106, ControlKind::Trackbar, {460, 272, 109, 14}},
    ControlTemplate{1217, ControlKind::ProgressBar, {7, 22, 248, 14}},
    ControlTemplate{1229, ControlKind::DropDownList, {329, 33, 85, 12}},
    ControlTemplate{1021, ControlKind::Picture, {6, 4, 11, 17}},
    ControlTemplate{1015, ControlKind::Frame, {5, 269, 450, 104}},
};

const DialogTemplate kSample{500, "Sample", 579, 378, StandardDialogFont(), kSampleControls};

TEST(DialogBuilder, BuildsEveryRowAtItsPlaceWithItsIdCaptionAndStyle) {
    QDialog dialog;
    BuildDialog(dialog, kSample, [](const ControlTemplate& control, QWidget* parent) -> QWidget* {
        return control.id == 1015 ? new CustomControl(parent) : nullptr;
    });
    const DialogBaseUnits base = BaseUnitsOf(dialog.font());
    ASSERT_GT(base.averageCharWidth, 0);
    EXPECT_EQ(dialog.windowTitle(), "Sample");
    EXPECT_EQ(dialog.size(), ToPixels({0, 0, 579, 378}, base).size());
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "fixed size";

    auto* label = FindControl<QLabel>(dialog, 1012);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "LOAD");
    EXPECT_TRUE(label->alignment() & Qt::AlignRight);
    const QRect labelRect = ToPixels({306, 3, 19, 8}, base);
    EXPECT_EQ(label->pos(), labelRect.topLeft());
    EXPECT_EQ(label->width(), labelRect.width());
    EXPECT_GE(label->height(), labelRect.height()) << "a label is at least one line of text high";

    auto* hidden = FindControl<QPushButton>(dialog, 1041);
    ASSERT_NE(hidden, nullptr);
    EXPECT_TRUE(hidden->isHidden());
    EXPECT_EQ(hidden->text(), "设置");

    auto* box = FindControl<QCheckBox>(dialog, 1098);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isEnabled());
    EXPECT_NE(FindControl<QRadioButton>(dialog, 1100), nullptr);

    auto* group = FindControl<QGroupBox>(dialog, 1153);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->alignment(), Qt::AlignHCenter);
    EXPECT_EQ(ControlText(*group), "主音量");

    auto* edit = FindControl<QLineEdit>(dialog, 1038);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_TRUE(edit->alignment() & Qt::AlignHCenter);

    auto* vertical = FindControl<QSlider>(dialog, 2100);
    auto* horizontal = FindControl<QSlider>(dialog, 1106);
    ASSERT_NE(vertical, nullptr);
    ASSERT_NE(horizontal, nullptr);
    EXPECT_EQ(vertical->orientation(), Qt::Vertical);
    EXPECT_EQ(horizontal->orientation(), Qt::Horizontal);
    EXPECT_NE(FindControl<QProgressBar>(dialog, 1217), nullptr);
    EXPECT_NE(FindControl<QComboBox>(dialog, 1229), nullptr);
    EXPECT_NE(FindControl<QLabel>(dialog, 1021), nullptr);

    QWidget* frame = FindControl(dialog, 1022);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(ControlText(*frame), "MIC") << "a frame keeps its caption";

    auto* custom = dynamic_cast<CustomControl*>(FindControl(dialog, 1015));
    ASSERT_NE(custom, nullptr) << "the factory makes custom controls";
    EXPECT_EQ(custom->geometry(), ToPixels({5, 269, 450, 104}, base));

    EXPECT_EQ(FindControl(dialog, 4242), nullptr);
}

TEST(DialogBuilder, CaptionsOfEveryKindAreSetAndReadAlike) {
    QDialog dialog;
    BuildDialog(dialog, kSample);
    for (const int id : {1012, 1041, 1098, 1100, 1153, 1022, 1038}) {
        QWidget* control = FindControl(dialog, id);
        ASSERT_NE(control, nullptr) << id;
        SetControlText(*control, QStringLiteral("text %1").arg(id));
        EXPECT_EQ(ControlText(*control), QStringLiteral("text %1").arg(id)) << id;
    }
    EXPECT_EQ(FindControl<QGroupBox>(dialog, 1153)->title(), "text 1153");
}

TEST(SyncProgressDialog, IgnoresEscEnterAndTheCloseBoxAndShowsActivityUntilFinished) {
    SyncProgressDialog dialog(nullptr,
                              {std::chrono::milliseconds(5), std::chrono::milliseconds(kLongMs), 1800});
    QSignalSpy gaveUp(&dialog, &SyncProgressDialog::GaveUp);
    dialog.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(), "同步过程");
    EXPECT_EQ(dialog.cursor().shape(), Qt::WaitCursor);
    EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(230, 230, 230));

    QTest::keyClick(&dialog, Qt::Key_Escape);
    QTest::keyClick(&dialog, Qt::Key_Return);
    dialog.close();
    EXPECT_TRUE(dialog.isVisible());

    auto* bar = FindControl<QProgressBar>(dialog, SyncProgressDialog::kProgressId);
    ASSERT_NE(bar, nullptr);
    bool reachedEnd = false;
    bool startedAgain = false;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        reachedEnd = reachedEnd || value == 100;
        startedAgain = startedAgain || (reachedEnd && value == 0);
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return startedAgain; }, kDeadlineMs))
        << "the bar fills and starts again from empty";

    dialog.Finish();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(gaveUp.count(), 0);
}

TEST(SyncProgressDialog, GivesUpAfterItsTimerAndAsksForTheReconnectNoticeInTheLanguage) {
    struct Case {
        int language;
        const char* title;
        const char* text;
        const char* notice;
    };
    const Case cases[] = {
        {0, "同步过程", "当前正在与机器同步数据,请稍后......", "错误,建议重连设备"},
        {1, "Synchronising", "Synchronising data with the machine, please wait......",
         "Error, please reconnect the device"},
    };
    for (const Case& c : cases) {
        SyncProgressDialog dialog(
            nullptr, {std::chrono::milliseconds(100), std::chrono::milliseconds(50), 1800}, c.language);
        EXPECT_EQ(dialog.windowTitle(), c.title);
        EXPECT_EQ(FindControl<QLabel>(dialog, SyncProgressDialog::kLabelId)->text(), c.text);
        QSignalSpy gaveUp(&dialog, &SyncProgressDialog::GaveUp);
        dialog.open();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, kDeadlineMs));
        ASSERT_EQ(gaveUp.count(), 1);
        EXPECT_EQ(gaveUp.at(0).at(0).toString(), c.notice);
        EXPECT_EQ(gaveUp.at(0).at(1).toInt(), kNoticeUntilClosed) << "it asks the user to reconnect";
    }
}

int NoticeWindowCount() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        count += qobject_cast<Notice*>(widget) != nullptr ? 1 : 0;
    }
    return count;
}

TEST(Notice, ANoticeWhileOneShowsReusesTheWindowWithTheNewTextAndPeriod) {
    QPointer<Notice> notice;
    Notice::ShowNotice(notice, nullptr, 0, QStringLiteral("保存设置成功!"), kLongMs);
    ASSERT_FALSE(notice.isNull());
    const Notice* first = notice.data();
    EXPECT_EQ(notice->windowTitle(), "信息");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(notice.data()));

    Notice::ShowNotice(notice, nullptr, 1, QStringLiteral("Setting saved"), 50);
    EXPECT_EQ(notice.data(), first);
    EXPECT_EQ(NoticeWindowCount(), 1);
    EXPECT_EQ(notice->Text(), "Setting saved");
    EXPECT_EQ(notice->windowTitle(), "信息") << "an open notice keeps its title";
    EXPECT_FALSE(notice->grab().isNull());

    EXPECT_TRUE(QTest::qWaitFor([&] { return notice.isNull(); }, kDeadlineMs))
        << "the second period replaced the first one";
    EXPECT_EQ(NoticeWindowCount(), 0);
}

TEST(Notice, EscClosesTheNoticeAndEnterDoesNot) {
    QPointer<Notice> notice;
    Notice::ShowNotice(notice, nullptr, 1, QStringLiteral("Mic vol locked!"), kLongMs);
    ASSERT_FALSE(notice.isNull());
    EXPECT_EQ(notice->windowTitle(), "Information");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(notice.data()));

    QTest::keyClick(notice.data(), Qt::Key_Return);
    // A close the key asked for, and the deletion after it, would have been handled by now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    ASSERT_FALSE(notice.isNull());
    EXPECT_TRUE(notice->isVisible());

    QTest::keyClick(notice.data(), Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return notice.isNull(); }, kDeadlineMs));
}

// Each notice, short or long, in either language and with or without its close button, is laid out on a
// 1024-pixel screen: the window fits the screen, the text lies beside the icon and holds all of its lines,
// and the close button covers neither.
TEST(Notice, ALongNoticeWrapsBesideTheIconWithinTheScreen) {
    constexpr int kScreenWidth = 1024;
    const char* texts[] = {
        "Mic vol locked!",
        "话筒音量已锁定!",
        "Upgrade finished, please restart the device!",
        "升级完成，请重启设备!",
        "Offline: no amplifier is connected. The edits stay in the panel and can be sent when it is back.",
        "离线：未连接设备。更改保留在面板中，设备连接后可以发送。",
        "This amplifier keeps its own settings; the set prepared offline is kept: load it from the window's "
        "context menu.",
        "已连接的设备采用其自身的设置；离线准备的参数已保留，可从窗口的右键菜单载入。",
        "No installed font shows Chinese, so the panel is in English. Install a Chinese font (for example "
        "fonts-noto-cjk) to use it in Chinese.\nCannot create the single-instance mark in /run/user/1000 "
        "(permission denied). The panel starts anyway, without the guard against a second instance.",
    };
    for (const int language : {0, 1}) {
        Notice notice(nullptr, language);
        const QFontMetrics metrics(FindControl<QLabel>(notice, Notice::kTextId)->font());
        for (const char* text : texts) {
            for (const bool closeButton : {false, true}) {
                const QString shown = QString::fromUtf8(text);
                SCOPED_TRACE(std::string(text) + (closeButton ? ", with the close button" : ""));
                const Notice::Layout layout = notice.LayOut(shown, kScreenWidth, closeButton);
                const QRect window(QPoint(0, 0), layout.window);
                EXPECT_LE(layout.window.width(), kScreenWidth - 2 * Notice::kScreenMargin);
                EXPECT_TRUE(window.contains(layout.icon));
                EXPECT_TRUE(window.contains(layout.text));
                EXPECT_FALSE(layout.text.intersects(layout.icon)) << "the text is drawn over the icon";
                const QRect needed =
                    metrics.boundingRect(QRect(QPoint(0, 0), QSize(layout.text.width(), INT_MAX / 2)),
                                         Qt::AlignCenter | Qt::TextWordWrap, shown);
                EXPECT_LE(needed.width(), layout.text.width()) << "a line is cut";
                EXPECT_LE(needed.height(), layout.text.height()) << "a line is cut";
                EXPECT_EQ(layout.close.isEmpty(), !closeButton);
                if (closeButton) {
                    EXPECT_TRUE(window.contains(layout.close));
                    EXPECT_FALSE(layout.close.intersects(layout.text));
                    EXPECT_FALSE(layout.close.intersects(layout.icon));
                }
            }
        }
    }
}

// A notice that asks the user to act stays after one that only tells has closed by itself, with a close
// button; a click on that button closes it.
TEST(Notice, ANoticeThatAsksToActStaysUntilTheUserClosesIt) {
    QPointer<Notice> staying;
    QPointer<Notice> passing;
    Notice::ShowNotice(staying, nullptr, 1, QStringLiteral("Upgrade finished, please restart the device!"),
                       kNoticeUntilClosed);
    Notice::ShowNotice(passing, nullptr, 1, QStringLiteral("Setting saved"), 50);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(staying.data()));
    auto* close = FindControl<QPushButton>(*staying, Notice::kCloseId);
    EXPECT_TRUE(close->isVisible()) << "a notice that stays can be closed";
    EXPECT_FALSE(FindControl<QPushButton>(*passing, Notice::kCloseId)->isVisible());
    EXPECT_EQ(close->text(), "Close");

    ASSERT_TRUE(QTest::qWaitFor([&] { return passing.isNull(); }, kDeadlineMs));
    ASSERT_FALSE(staying.isNull()) << "it closed by itself with the passing notice";
    EXPECT_TRUE(staying->isVisible());

    QWidget* hit = staying->childAt(close->geometry().center());
    ASSERT_EQ(hit, close) << "the close button is not what a click there reaches";
    QTest::mouseClick(hit, Qt::LeftButton, Qt::NoModifier, hit->rect().center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return staying.isNull(); }, kDeadlineMs));
}

// A notice laid out on its screen is placed as LayOut says, and a click anywhere on it closes it.
TEST(Notice, ShowsItsLayoutAndAClickOnItClosesIt) {
    QPointer<Notice> notice;
    const QString text = QStringLiteral(
        "Offline: no amplifier is connected. The edits stay in the panel and can be sent when it is back.");
    Notice::ShowNotice(notice, nullptr, 1, text, kLongMs);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(notice.data()));
    const Notice::Layout layout = notice->LayOut(text, notice->screen()->availableGeometry().width(), false);
    EXPECT_EQ(notice->size(), layout.window);
    EXPECT_EQ(notice->IconRect(), layout.icon);
    auto* label = FindControl<QLabel>(*notice, Notice::kTextId);
    EXPECT_EQ(label->geometry(), layout.text);

    const QPoint banner = notice->rect().topRight() + QPoint(-3, 3);
    QWidget* hit = notice->childAt(banner);
    QWidget* target = hit != nullptr ? hit : notice.data();
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(notice.data(), banner));
    EXPECT_TRUE(QTest::qWaitFor([&] { return notice.isNull(); }, kDeadlineMs));
}

}  // namespace
}  // namespace varnoth
