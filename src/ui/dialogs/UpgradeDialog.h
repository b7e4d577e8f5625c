// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>

#include <functional>

#include "ui/dialogs/DialogTemplate.h"
#include "ui/dialogs/UpgradeFlow.h"

class QLabel;
class QProgressBar;

namespace varnoth {

class FeatureHost;
class UpgradeSession;

// Guides the user through a firmware upgrade: how to put the device into upgrade mode, a red or green mark
// for it, both firmware versions and the progress of the transfer. Opened with the device already in upgrade
// mode it offers the upgrade (one question, through the host); it starts by hand with the carried image or
// with an image file. Modal; the main window passes it arrivals, removals and the end of a transfer.
class UpgradeDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateNumber = 233;
    static constexpr int kStatusId = 1161;
    static constexpr int kImageDateId = 1148;
    static constexpr int kDeviceDateTitleId = 1145;
    static constexpr int kDeviceDateId = 1147;
    static constexpr int kProgressTextId = 1144;
    static constexpr int kProgressId = 1217;
    static constexpr int kManualId = 3;
    static constexpr int kFromFileId = 1166;
    static constexpr int kRedImage = 234;
    static constexpr int kGreenImage = 235;
    static const DialogTemplate& Template();

    // Picks an image file for the upgrade from a file; an empty text when the user cancels.
    using ImageChooser = std::function<QString(QWidget* parent)>;

    UpgradeDialog(UpgradeSession& session, FeatureHost& host, QWidget* parent = nullptr);

    // Replaces the file dialog of the upgrade from a file.
    void SetImageChooser(ImageChooser chooser);
    // The file dialog that picks an image, opening in folder (the current folder when empty).
    static QString ChooseImageFile(QWidget* owner, int language, const QString& folder = QString());

  public slots:
    // A device arrived: in upgrade mode (the user has agreed to upgrade it) the mark turns green and the
    // carried image is sent without asking again, otherwise the mark turns red.
    void OnArrival(bool upgradeMode);
    // The device was removed: the mark turns red.
    void OnRemoval();
    // The transfer has ended. When the whole image was sent the completion notice shows and
    // the dialog closes; otherwise the user is told why and the dialog stays.
    void OnUpgradeDone();

    // Enter does nothing; Esc and the close box close the dialog, except while a transfer runs: then they
    // explain that the amplifier is being written and must not be unplugged, and the dialog stays.
    void accept() override {}
    void reject() override;

  private:
    void FirstLook();
    void OfferUpgrade();
    void StartCarried();
    void StartFromFile();
    void Started(const UpgradeFlow::Start& start);
    void ShowStatus(bool green);
    void ShowProgress();
    void ShowProblem(const QString& heading, const QString& detail);

    UpgradeSession& m_session;
    FeatureHost& m_host;
    UpgradeFlow m_flow;
    ImageChooser m_chooser;
    QLabel* m_status = nullptr;
    QLabel* m_progressText = nullptr;
    QProgressBar* m_progress = nullptr;
    QTimer m_firstLook;
    QTimer m_poll;
    // The amplifier was in upgrade mode when the dialog opened: the dialog offers the upgrade itself.
    bool m_foundInUpgradeMode = false;
    // The upgrade has been offered, or agreed to before the dialog looked.
    bool m_offered = false;
};

}  // namespace varnoth
