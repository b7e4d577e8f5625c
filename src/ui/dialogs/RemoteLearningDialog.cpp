// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/RemoteLearningDialog.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>

#include <array>
#include <cstddef>

#include "session/DeviceSession.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/DialogTexts.h"
#include "ui/dialogs/FeatureHost.h"
#include "ui/dialogs/KeyLearningDialog.h"
#include "ui/dialogs/RemoteKeys.h"

namespace varnoth {

namespace {

// An invisible area over a key of the remote picture that reports clicks.
class KeyArea : public QAbstractButton {
  public:
    using QAbstractButton::QAbstractButton;

  protected:
    void paintEvent(QPaintEvent*) override {}
};

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

QWidget* MakeKeyArea(const ControlTemplate& control, QWidget* parent) {
    return control.kind == ControlKind::Frame ? new KeyArea(parent) : nullptr;
}

}  // namespace

const DialogTemplate& RemoteLearningDialog::Template() {
    static const DialogTemplate dialog{kTemplateNumber,      "遥控学习", 142, 346,
                                       StandardDialogFont(), kControls};
    return dialog;
}

RemoteLearningDialog::RemoteLearningDialog(DeviceSession& session, FeatureHost& host, QWidget* parent)
    : QDialog(parent), m_session(session), m_host(host) {
    BuildDialog(*this, Template(), MakeKeyArea);
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
        [this](const std::string& notice) { m_host.ShowNotice(QString::fromStdString(notice), kNoticeMs); });
}

// The wait for the code begins once the device has been asked to learn the key.
void RemoteLearningDialog::StudyKey(const RemoteKey& key) {
    DeviceSession& session = m_session;
    SendThenTell(
        session, *this,
        [&session, &key, language = m_host.Language()] { return StartStudying(session, key, language); },
        [this, &key](const std::string& refused) {
            if (!refused.empty()) {
                m_host.ShowNotice(QString::fromStdString(refused), kNoticeMs);
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
