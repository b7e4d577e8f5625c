// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QString>

#include <vector>

class QLabel;
class QLineEdit;

namespace varnoth {

// A small frame of typed fields laid over the window where a value is shown: one row per field (its tag,
// then the text), and a line that tells why a value was refused. Enter asks the owner to apply the texts
// (accepted); Esc, or the focus moving elsewhere in the window, cancels. The frame deletes itself when it
// closes.
class TypedEntry : public QFrame {
    Q_OBJECT

  public:
    struct Field {
        QString tag;   // empty for a single value
        QString text;  // what the field starts with, selected
    };

    TypedEntry(QWidget* parent, const std::vector<Field>& fields);

    int FieldCount() const { return static_cast<int>(m_edits.size()); }
    QLineEdit* Edit(int field) const { return m_edits.at(static_cast<std::size_t>(field)); }
    QString Text(int field) const;
    // Shows the refusal under the fields and gives the field the focus with its text selected.
    void Refuse(int field, const QString& message);
    QString Message() const;
    // Places the frame at `at` in its parent's coordinates, inside the parent, and gives it the focus.
    void Open(QPoint at);
    void Close();

  signals:
    void accepted();
    void cancelled();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Cancel();

    std::vector<QLineEdit*> m_edits;
    QLabel* m_message;
    bool m_closed = false;
};

}  // namespace varnoth
