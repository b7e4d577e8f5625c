// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "ui/dialogs/FeatureTexts.h"

namespace varnoth {

class UpgradeSession;

// The upgrade dialog's decisions, without its window: whether a transfer may start, what the user is told
// when it cannot, and what its end means. Only a transfer that sent the whole image ends with the
// completion notice; a failure says why.
class UpgradeFlow {
  public:
    static constexpr int kNoticeMs = 1200;
    static constexpr int kDoneNoticeMs = 2500;

    // The answer to a request to start: started, or why not (nothing is sent to an amplifier that is not in
    // upgrade mode). `notice` is short (a notice window); `problem`, when not empty, explains a refused
    // image file (a message box).
    struct Start {
        bool started = false;
        FeatureNotice notice;
        std::string problem;
        bool explain = false;  // the notice tells what to do: a message box rather than a short notice
    };
    // The end of a transfer: the completion notice when the image was sent, otherwise a heading and the
    // session's explanation.
    struct Completion {
        bool sent = false;
        FeatureNotice notice;
        std::string detail;
    };

    explicit UpgradeFlow(UpgradeSession& session);

    // Whether to ask "upgrade now?": not while a transfer runs, so a Yes cannot start a second one.
    bool MayAsk() const;
    // Whether the dialog may close: not while the amplifier's flash is being written.
    bool MayClose() const;

    // language: 0 Chinese, anything else English.
    // Whether a transfer could start now (before an image file is chosen): started is true when it could.
    Start Check(int language) const;
    // The carried image (the question answered Yes, or the manual button).
    Start StartCarried(int language);
    // An image file the user chose.
    Start StartFile(const std::string& path, int language);
    Completion Done(int language) const;

    // The progress label: "37%".
    static std::string ProgressText(int percent);

  private:
    // Why no transfer can start now; an empty text when one can.
    FeatureNotice Obstacle(int language) const;

    UpgradeSession& m_session;
};

}  // namespace varnoth
