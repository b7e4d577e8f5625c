// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/TypedEntry.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace varnoth {

namespace {

constexpr int kMargin = 3;
constexpr int kFieldChars = 10;
constexpr int kMessageWidth = 220;

}  // namespace

TypedEntry::TypedEntry(QWidget* parent, const std::vector<Field>& fields)
    : QFrame(parent), m_message(new QLabel(this)) {
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(kMargin);
    const int fieldWidth = fontMetrics().horizontalAdvance(QLatin1Char('0')) * kFieldChars;
    for (const Field& field : fields) {
        const int row = static_cast<int>(m_edits.size());
        auto* edit = new QLineEdit(field.text, this);
        if (!field.tag.isEmpty()) {
            auto* tag = new QLabel(field.tag, this);
            tag->setBuddy(edit);
            edit->setAccessibleName(field.tag);
            layout->addWidget(tag, row, 0);
        }
        edit->setMinimumWidth(fieldWidth);
        edit->installEventFilter(this);
        layout->addWidget(edit, row, 1);
        m_edits.push_back(edit);
    }
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setFixedWidth(kMessageWidth);
    // The frame's background is the Base role, so a label on it writes in the Text role.
    QPalette red = m_message->palette();
    red.setColor(QPalette::WindowText, QColor(200, 0, 0));
    red.setColor(QPalette::Text, QColor(200, 0, 0));
    m_message->setPalette(red);
    m_message->hide();
    layout->addWidget(m_message, static_cast<int>(m_edits.size()), 0, 1, 2);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && now != this && !isAncestorOf(now) && now->window() == window()) {
            Cancel();
        }
    });
}

QString TypedEntry::Text(int field) const {
    return Edit(field)->text();
}

QString TypedEntry::Message() const {
    return m_message->isHidden() ? QString() : m_message->text();
}

void TypedEntry::Refuse(int field, const QString& message) {
    m_message->setText(message);
    m_message->show();
    // A screen reader tells why, with the field, as the focus returns to it.
    Edit(field)->setAccessibleDescription(message);
    adjustSize();
    Open(pos());
    Edit(field)->setFocus(Qt::OtherFocusReason);
    Edit(field)->selectAll();
}

void TypedEntry::Open(QPoint at) {
    adjustSize();
    const QWidget* parent = parentWidget();
    const int x = std::clamp(at.x(), 0, std::max(0, parent->width() - width()));
    const int y = std::clamp(at.y(), 0, std::max(0, parent->height() - height()));
    move(x, y);
    show();
    raise();
    if (!isAncestorOf(QApplication::focusWidget())) {
        Edit(0)->setFocus(Qt::OtherFocusReason);
        Edit(0)->selectAll();
    }
}

void TypedEntry::Close() {
    m_closed = true;
    hide();
    deleteLater();
}

void TypedEntry::Cancel() {
    if (m_closed) {
        return;
    }
    Close();
    emit cancelled();
}

bool TypedEntry::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && !m_closed) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                emit accepted();
                return true;
            case Qt::Key_Escape:
                Cancel();
                return true;
            default:
                break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace varnoth
