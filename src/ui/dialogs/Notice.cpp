// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/Notice.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <array>
#include <climits>

#include "ui/controls/Announcer.h"
#include "ui/controls/ControlAccessibility.h"
#include "ui/controls/ImageResources.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/FeatureTexts.h"

namespace varnoth {

namespace {

constexpr std::array kControls = {
    ControlTemplate{Notice::kTextId, ControlKind::Label, {7, 27, 331, 14}, "", kCentred},
    ControlTemplate{Notice::kCloseId, ControlKind::PushButton, {288, 48, 50, 14}, "关闭", kHidden},
};

// The icon's size and its distance from the window's left edge, in pixels.
constexpr int kIconSide = 76;
constexpr int kIconLeft = 17;

constexpr int kTextFlags = Qt::AlignCenter | Qt::TextWordWrap;

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
    const bool chinese = language == 0;
    setWindowTitle(chinese ? QStringLiteral("信息") : QStringLiteral("Information"));
    m_text = FindControl<QLabel>(*this, kTextId);
    m_text->setFont(NoticeFont());
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_templateLine = m_text->geometry();
    m_templateSize = size();
    m_close = FindControl<QPushButton>(*this, kCloseId);
    m_close->setText(chinese ? QStringLiteral("关闭") : QStringLiteral("Close"));
    m_closeSize = m_close->size().expandedTo(m_close->sizeHint());
    m_close->setAutoDefault(false);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    m_announcer = new Announcer(this);
    m_closeTimer.setSingleShot(true);
    connect(&m_closeTimer, &QTimer::timeout, this, &QWidget::close);
}

Notice::Layout Notice::LayOut(const QString& text, int availableWidth, bool closeButton) const {
    const QFontMetrics metrics(m_text->font());
    const int margin = m_templateLine.left();
    const int textLeft = kIconLeft + kIconSide + margin;
    const int widest = std::min(kMaxWidth, availableWidth - 2 * kScreenMargin);
    // On one line if the text fits the widest window, else wrapped to it; never narrower than the template.
    const int oneLine =
        metrics.boundingRect(QRect(0, 0, INT_MAX / 2, INT_MAX / 2), Qt::AlignLeft | Qt::AlignTop, text)
            .width();
    const int width = std::min(widest, std::max(m_templateSize.width(), textLeft + oneLine + 2 * margin));
    const int textWidth = width - textLeft - margin;
    const int textHeight =
        std::max(m_templateLine.height(),
                 metrics.boundingRect(QRect(0, 0, textWidth, INT_MAX / 2), kTextFlags, text).height());
    const int closeRow = closeButton ? m_closeSize.height() + margin : 0;
    const int height =
        std::max({m_templateSize.height(), textHeight + closeRow + 2 * margin, kIconSide + 2 * margin});
    Layout layout;
    layout.window = QSize(width, height);
    layout.icon = QRect(kIconLeft, (height - kIconSide) / 2, kIconSide, kIconSide);
    // The text stays centred in the room the close button leaves.
    const int top = std::max(margin, (height - closeRow - textHeight) / 2);
    layout.text = QRect(textLeft, top, textWidth, textHeight);
    if (closeButton) {
        layout.close =
            QRect(QPoint(width - margin - m_closeSize.width(), height - margin - m_closeSize.height()),
                  m_closeSize);
    }
    return layout;
}

int Notice::AvailableWidth() const {
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : this;
    const QScreen* screen = owner->screen() != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry().width() : kMaxWidth + 2 * kScreenMargin;
}

void Notice::SetNotice(const QString& text, int periodMs) {
    m_text->setText(text);
    setAccessibleDescription(text);
    const bool stays = periodMs == kNoticeUntilClosed;
    const Layout layout = LayOut(text, AvailableWidth(), stays);
    setFixedSize(layout.window);
    m_text->setGeometry(layout.text);
    m_icon = layout.icon;
    m_close->setGeometry(layout.close);
    m_close->setVisible(stays);
    if (stays) {
        m_closeTimer.stop();
    } else {
        m_closeTimer.start(periodMs);
    }
    update();
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

void Notice::mousePressEvent(QMouseEvent* event) {
    event->accept();
    close();
}

void Notice::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(230, 230, 230));
    const QPixmap banner = ImagePixmap(kBannerImage);
    if (!banner.isNull()) {
        painter.drawPixmap(rect(), banner);
    }
    const QPixmap icon = ImagePixmap(kIconImage);
    if (!icon.isNull()) {
        painter.drawPixmap(m_icon, icon);
    }
}

}  // namespace varnoth
