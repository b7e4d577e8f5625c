// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTimer>

#include "ui/dialogs/DialogTemplate.h"

class QLabel;

namespace varnoth {

class Announcer;

// The self-closing notice: one line of text over the banner picture, gone after a given time or on Esc.
// Modeless; it deletes itself when it closes. Assistive technology meets it as a notification whose
// description is its text, which a screen reader speaks as it shows; a text that comes while it shows is
// told by an announcer of its own.
class Notice : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateNumber = 145;
    static constexpr int kTextId = 1223;
    static constexpr int kCloseId = 2;
    static constexpr int kBannerImage = 210;
    static const DialogTemplate& Template();

    // language: 0 Chinese, anything else English; it only chooses the title, once.
    explicit Notice(QWidget* parent, int language);

    // Shows `text` and closes the window `periodMs` after the last call. The window grows to hold a text
    // longer or taller than its template's line.
    void SetNotice(const QString& text, int periodMs);
    QString Text() const;

    // The one notice window of an owner: `window` is created when it is empty (and empties itself when the
    // window closes), shown, given the text and its timer restarted with the period.
    static void ShowNotice(QPointer<Notice>& window, QWidget* owner, int language, const QString& text,
                           int periodMs);

  public slots:
    void accept() override;
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QLabel* m_text = nullptr;
    Announcer* m_announcer = nullptr;
    QRect m_templateLine;  // the text's place in the template
    QSize m_templateSize;
    QTimer m_closeTimer;
};

}  // namespace varnoth
