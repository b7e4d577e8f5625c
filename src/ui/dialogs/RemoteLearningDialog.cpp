// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/RemoteLearningDialog.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>
#include <vector>

#include "session/DeviceSession.h"
#include "ui/controls/FocusRing.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/DialogTexts.h"
#include "ui/dialogs/FeatureHost.h"
#include "ui/dialogs/KeyLearningDialog.h"
#include "ui/dialogs/RemoteKeys.h"

namespace varnoth {

namespace {

// Pixels between a key's outline and the focus ring drawn around it, which would hide the key's text if it
// were drawn inside.
constexpr int kRingMargin = 5;

QRect RingAround(const QRect& key) {
    return key.adjusted(-kRingMargin, -kRingMargin, kRingMargin, kRingMargin);
}

// An invisible area over a key of the remote picture that reports clicks. The picture draws its focus ring.
class KeyArea : public QAbstractButton {
  public:
    using QAbstractButton::QAbstractButton;

  protected:
    void paintEvent(QPaintEvent*) override {}
    void focusInEvent(QFocusEvent* event) override {
        QAbstractButton::focusInEvent(event);
        ShowRing();
    }
    void focusOutEvent(QFocusEvent* event) override {
        QAbstractButton::focusOutEvent(event);
        ShowRing();
    }

  private:
    void ShowRing() { parentWidget()->update(RingAround(geometry())); }
};

// The picture of the remote, with the focus ring around the key that has the keyboard focus.
class RemotePicture : public QLabel {
  public:
    explicit RemotePicture(QWidget* parent) : QLabel(parent) { setAlignment(Qt::AlignLeft | Qt::AlignTop); }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        for (const KeyArea* key : parentWidget()->findChildren<KeyArea*>(Qt::FindDirectChildrenOnly)) {
            if (key->hasFocus()) {
                QPainter painter(this);
                DrawFocusRing(painter, RingAround(QRect(mapFromParent(key->pos()), key->size())), palette());
            }
        }
    }
};

// Areas whose tops lie closer than this (dialog units) are one row of keys.
constexpr int kSameRow = 8;

// The keys as they are read: rows from the top, each from the left.
std::vector<const RemoteKey*> ReadingOrder() {
    std::vector<const RemoteKey*> keys;
    for (const RemoteKey& key : kRemoteKeys) {
        keys.push_back(&key);
    }
    std::sort(keys.begin(), keys.end(),
              [](const RemoteKey* a, const RemoteKey* b) { return a->area.y < b->area.y; });
    std::vector<std::pair<int, const RemoteKey*>> rows;
    int row = 0;
    int rowTop = keys.front()->area.y;
    for (const RemoteKey* key : keys) {
        if (key->area.y - rowTop >= kSameRow) {
            ++row;
            rowTop = key->area.y;
        }
        rows.emplace_back(row, key);
    }
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second->area.x < b.second->area.x;
    });
    for (std::size_t i = 0; i < rows.size(); ++i) {
        keys[i] = rows[i].second;
    }
    return keys;
}

constexpr std::size_t kRowCount = kRemoteKeys.size() + 3;
constexpr int kButtonGap = 8;  // pixels between the picture and the buttons, and below the buttons

constexpr std::array<ControlTemplate, kRowCount> MakeControls() {
    std::array<ControlTemplate, kRowCount> rows{};
    rows[0] = ControlTemplate{RemoteLearningDialog::kPictureId, ControlKind::Picture, {0, 0, 141, 320}};
    for (std::size_t i = 0; i < kRemoteKeys.size(); ++i) {
        rows[i + 1] = ControlTemplate{kRemoteKeys[i].id, ControlKind::Frame, kRemoteKeys[i].area};
    }
    rows[kRowCount - 2] =
        ControlTemplate{RemoteLearningDialog::kApplyId, ControlKind::PushButton, {12, 326, 56, 14}, "应用"};
    rows[kRowCount - 1] =
        ControlTemplate{RemoteLearningDialog::kCloseId, ControlKind::PushButton, {74, 326, 56, 14}, "关闭"};
    return rows;
}

constexpr std::array<ControlTemplate, kRowCount> kControls = MakeControls();

QWidget* MakeRemoteControl(const ControlTemplate& control, QWidget* parent) {
    switch (control.kind) {
        case ControlKind::Frame:
            return new KeyArea(parent);
        case ControlKind::Picture:
            return new RemotePicture(parent);
        default:
            return nullptr;
    }
}

}  // namespace

const DialogTemplate& RemoteLearningDialog::Template() {
    static const DialogTemplate dialog{kTemplateNumber,      "遥控学习", 142, 346,
                                       StandardDialogFont(), kControls};
    return dialog;
}

RemoteLearningDialog::RemoteLearningDialog(DeviceSession& session, FeatureHost& host, QWidget* parent)
    : QDialog(parent), m_session(session), m_host(host) {
    BuildDialog(*this, Template(), MakeRemoteControl);
    ClearDefaultButtons(*this);
    PlaceOverPicture();
    for (const RemoteKey& key : kRemoteKeys) {
        connect(FindControl<QAbstractButton>(*this, key.id), &QAbstractButton::clicked, this,
                [this, &key] { StudyKey(key); });
    }
    for (QWidget* control : findChildren<QWidget*>()) {
        if (IsKeyAreaId(ControlIdOf(*control))) {
            control->setCursor(Qt::PointingHandCursor);
        }
    }
    // Tab reads the keys as the eye does, then the buttons; each key is named as its prompt names it.
    QWidget* previous = nullptr;
    for (const RemoteKey* key : ReadingOrder()) {
        QWidget* area = FindControl(*this, key->id);
        area->setAccessibleName(QString::fromStdString(KeyName(*key, m_host.Language())));
        if (previous != nullptr) {
            setTabOrder(previous, area);
        }
        previous = area;
    }
    setTabOrder(previous, FindControl(*this, kApplyId));
    setTabOrder(FindControl(*this, kApplyId), FindControl(*this, kCloseId));
    connect(FindControl<QPushButton>(*this, kApplyId), &QPushButton::clicked, this,
            &RemoteLearningDialog::accept);
    connect(FindControl<QPushButton>(*this, kCloseId), &QPushButton::clicked, this,
            &RemoteLearningDialog::reject);
    ApplyDialogTexts(*this, kTemplateNumber);
}

// The key areas are drawn into the picture at 1.5 pixels per dialog unit whatever the dialog font, so the
// picture keeps its own size, the areas follow it and the buttons go below it.
void RemoteLearningDialog::PlaceOverPicture() {
    auto* picture = FindControl<QLabel>(*this, kPictureId);
    ShowPicture(*picture, kPictureImage);
    const QSize pictureSize = picture->pixmap().isNull() ? picture->size() : picture->pixmap().size();
    picture->setGeometry(QRect(QPoint(0, 0), pictureSize));
    for (const RemoteKey& key : kRemoteKeys) {
        const DialogRect area = KeyAreaPixels(key);
        FindControl(*this, key.id)->setGeometry(area.x, area.y, area.width, area.height);
    }
    QWidget* apply = FindControl(*this, kApplyId);
    QWidget* close = FindControl(*this, kCloseId);
    const int top = pictureSize.height() + kButtonGap;
    const int centre = pictureSize.width() / 2;
    apply->move(centre - kButtonGap / 2 - apply->width(), top);
    close->move(centre + kButtonGap / 2, top);
    setFixedSize(pictureSize.width(), top + apply->height() + kButtonGap);
}

void RemoteLearningDialog::accept() {
    DeviceSession& session = m_session;
    SendThenTell(
        session, *this,
        [&session, language = m_host.Language()] { return ApplyRemoteKeys(session, language); },
        [this](const FeatureNotice& notice) {
            m_host.ShowNotice(QString::fromStdString(notice.text), notice.PeriodMs(kNoticeMs));
        });
}

// The wait for the code begins once the device has been asked to learn the key.
void RemoteLearningDialog::StudyKey(const RemoteKey& key) {
    DeviceSession& session = m_session;
    SendThenTell(
        session, *this,
        [&session, &key, language = m_host.Language()] { return StartStudying(session, key, language); },
        [this, &key](const FeatureNotice& refused) {
            if (!refused.text.empty()) {
                m_host.ShowNotice(QString::fromStdString(refused.text), refused.PeriodMs(kNoticeMs));
                return;
            }
            WaitForKey(key);
        });
}

void RemoteLearningDialog::WaitForKey(const RemoteKey& key) {
    const int language = m_host.Language();
    KeyLearningDialog study(QString::fromStdString(KeyPrompt(key, language)), m_session.GetRemote(), language,
                            m_host.Timing().studyCloseDelay, this);
    m_host.SetStudyDialog(&study);
    study.exec();
    m_host.SetStudyDialog(nullptr);
}

}  // namespace varnoth
