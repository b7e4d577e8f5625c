// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "ui/dialogs/DialogTemplate.h"

class QLabel;

namespace varnoth {

class DeviceSession;
class FeatureHost;
struct RemoteKey;

// Remote-control learning: a picture of the remote whose 15 keys can be clicked. A click asks the device to
// learn that key and waits in the key-studying dialog for the code; Apply sends the learnt record to the
// device. Both say at once when the device is missing, in upgrade mode or did not receive the command, and
// then nothing waits. Modal; the connection is not required to open it.
class RemoteLearningDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateNumber = 204;
    static constexpr int kPictureId = 1225;
    static constexpr int kPictureImage = 207;
    static constexpr int kApplyId = 1;
    static constexpr int kCloseId = 2;
    static constexpr int kNoticeMs = 1200;
    static const DialogTemplate& Template();

    RemoteLearningDialog(DeviceSession& session, FeatureHost& host, QWidget* parent = nullptr);

  public slots:
    // Apply: sends the record and says whether it reached the device; the dialog stays open.
    void accept() override;

  private:
    void StudyKey(const RemoteKey& key);
    void WaitForKey(const RemoteKey& key);
    void PlaceOverPicture();

    DeviceSession& m_session;
    FeatureHost& m_host;
};

}  // namespace varnoth
