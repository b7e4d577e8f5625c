// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/Notice.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QStringList>

#include <algorithm>
#include <array>

#include "ui/controls/Announcer.h"
#include "ui/controls/ControlAccessibility.h"
#include "ui/controls/ImageResources.h"
#include "ui/dialogs/DialogBuilder.h"

namespace varnoth {

namespace {

constexpr std::array kControls = {
    ControlTemplate{Notice::kTextId, ControlKind::Label, {7, 27, 331, 14}, "", kCentred},
    ControlTemplate{Notice::kCloseId, ControlKind::PushButton, {288, 48, 50, 14}, "关闭", kHidden},
};

QFont NoticeFont() {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(25);
    return font;
}

}  // namespace

const DialogTemplate& Notice::Template() {
    static const DialogTemplate dialog{kTemplateNumber, "", 345, 67, StandardDialogFont(), kControls};
    return dialog;
}

Notice::Notice(QWidget* parent, int language) : QDialog(parent) {
    SetAccessibleRole(*this, QAccessible::Notification);
    // The keyboard focus stays where the user works; a screen reader speaks a notification as it shows.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    BuildDialog(*this, Template());
    setWindowTitle(language == 0 ? QStringLiteral("信息") : QStringLiteral("Information"));
    m_text = FindControl<QLabel>(*this, kTextId);
    m_text->setFont(NoticeFont());
    m_text->setWordWrap(false);
    m_templateLine = m_text->geometry();
    m_templateSize = size();
    m_announcer = new Announcer(this);
    m_closeTimer.setSingleShot(true);
    connect(&m_closeTimer, &QTimer::timeout, this, &QWidget::close);
}

void Notice::SetNotice(const QString& text, int periodMs) {
    m_text->setText(text);
    setAccessibleDescription(text);
    const QFontMetrics metrics(m_text->font());
    const int margin = m_templateLine.left();
    const int lineWidth = std::max(m_templateLine.width(), metrics.horizontalAdvance(text) + 2 * margin);
    const int lineHeight = std::max(m_templateLine.height(), metrics.height());
    const QSize windowSize(std::max(m_templateSize.width(), lineWidth + 2 * margin),
                           std::max(m_templateSize.height(), lineHeight + 2 * margin));
    setFixedSize(windowSize);
    // The line stays centred where the template puts it, inside the window.
    const int top =
        std::clamp(m_templateLine.center().y() - lineHeight / 2, 0, windowSize.height() - lineHeight);
    m_text->setGeometry(margin, top, windowSize.width() - 2 * margin, lineHeight);
    m_closeTimer.start(periodMs);
}

QString Notice::Text() const {
    return m_text->text();
}

void Notice::ShowNotice(QPointer<Notice>& window, QWidget* owner, int language, const QString& text,
                        int periodMs) {
    if (window.isNull()) {
        window = new Notice(owner, language);
    }
    const bool showing = window->isVisible();
    // Sized for its text before it shows: it opens at its size (and centred at it) rather than growing.
    window->SetNotice(text, periodMs);
    window->show();
    if (showing) {
        window->m_announcer->Announce(text);
    }
}

void Notice::accept() {}

void Notice::reject() {
    close();
}

void Notice::closeEvent(QCloseEvent* event) {
    m_closeTimer.stop();
    event->accept();
}

void Notice::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(230, 230, 230));
    const QPixmap banner = ImagePixmap(kBannerImage);
    if (!banner.isNull()) {
        painter.drawPixmap(rect(), banner);
    }
}

}  // namespace varnoth
