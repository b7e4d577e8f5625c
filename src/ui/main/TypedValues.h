// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include <unordered_map>
#include <utility>
#include <vector>

#include "ui/main/TypedEntry.h"

namespace varnoth {

class MainWindow;

// Values typed in the units shown. A double-click on a slider's value label, or F2 or Enter on the slider,
// opens a field over the label; a double-click on an EQ band's handle, or F2 or Enter on the graph, opens the
// band's frequency, gain and Q (the fields the band has). The field is named for a screen reader as its
// slider or its tag is.
// Enter converts each text to the nearest step and applies what changed as one undo step (a field whose text
// is still the one it opened with sets nothing, so it never writes back a value the amplifier left
// meanwhile): a slider's value as a drag to it would (locks and labels included), a band's fields by writing
// only those that differ. A value that cannot be read or lies outside the range is refused with the range,
// and nothing is sent.
class TypedValues : public QObject {
    Q_OBJECT

  public:
    // Becomes a child of the window.
    explicit TypedValues(MainWindow& window);

    // Opens the field of the value label of a slider, or of band `band` of the EQ graph `controlId`.
    void EditLabel(int labelId);
    void EditBand(int controlId, int band);
    // The open entry, else nullptr.
    TypedEntry* Entry() const { return m_entry; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ApplyLabel(int sliderId);
    void ApplyBand(int controlId, int band);
    TypedEntry* OpenEntry(QWidget* over, QPoint at, const std::vector<std::pair<QString, QString>>& fields);
    // Whether the field still holds the text it opened with: it then sets nothing.
    bool Untouched(int field) const;

    MainWindow& m_window;
    std::unordered_map<QObject*, int> m_labelSliders;
    QPointer<TypedEntry> m_entry;
    // The fields as the open entry showed them first.
    std::vector<TypedEntry::Field> m_opened;
};

}  // namespace varnoth
