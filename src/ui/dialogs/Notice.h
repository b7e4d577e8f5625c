// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>

#include "ui/dialogs/DialogTemplate.h"
#include "ui/dialogs/FeatureTexts.h"

class QLabel;
class QPushButton;

namespace varnoth {

class Announcer;

// The notice: its text beside the icon over the banner picture. A notice closes by itself after its period,
// or stays until the user closes it (period kNoticeUntilClosed, for a text that asks the user to act), then
// with a close button. Esc or a click on it closes either. A long text wraps (Chinese between characters),
// the window no wider than kMaxWidth and than its screen. Modeless; it deletes itself when it closes.
// Assistive technology meets it as a notification whose description is its text, which a screen reader
// speaks as it shows; a text that comes while it shows is told by an announcer of its own.
class Notice : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateNumber = 145;
    static constexpr int kTextId = 1223;
    static constexpr int kCloseId = 2;
    static constexpr int kBannerImage = 210;
    static constexpr int kIconImage = 211;
    // The widest a notice grows, and the room it leaves on each side of its screen.
    static constexpr int kMaxWidth = 640;
    static constexpr int kScreenMargin = 24;
    static const DialogTemplate& Template();

    // language: 0 Chinese, anything else English; it chooses the title, once, and the close button's text.
    explicit Notice(QWidget* parent, int language);

    // Shows `text` and closes the window `periodMs` after the last call, or keeps it until the user closes it
    // when periodMs is kNoticeUntilClosed. The window is laid out for the text on its screen (LayOut).
    void SetNotice(const QString& text, int periodMs);
    QString Text() const;

    // Where things go for a text on a screen `availableWidth` wide, with or without the close button.
    struct Layout {
        QSize window;
        QRect icon;
        QRect text;
        QRect close;  // empty without the button
    };
    Layout LayOut(const QString& text, int availableWidth, bool closeButton) const;
    // Where the icon is drawn.
    QRect IconRect() const { return m_icon; }

    // The one notice window of an owner: `window` is created when it is empty (and empties itself when the
    // window closes), shown, given the text and its timer restarted with the period.
    static void ShowNotice(QPointer<Notice>& window, QWidget* owner, int language, const QString& text,
                           int periodMs);

  public slots:
    void accept() override;
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    int AvailableWidth() const;

    QLabel* m_text = nullptr;
    QPushButton* m_close = nullptr;
    Announcer* m_announcer = nullptr;
    QRect m_templateLine;  // the text's place in the template
    QSize m_templateSize;
    QSize m_closeSize;
    QRect m_icon;
    QTimer m_closeTimer;
};

}  // namespace varnoth
