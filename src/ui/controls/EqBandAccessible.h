// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleInterface>

namespace varnoth {

class EqGraph;
class EqGraphAccessible;
struct EqPoint;

// One band of an EQ graph, a child of the graph's interface: named "Band 1", its value and description its
// frequency, gain and (where the graph shows it) Q in the graph's language; selected while it is the
// graph's picked band.
class EqBandAccessible : public QAccessibleInterface {
  public:
    EqBandAccessible(EqGraphAccessible* graph, int index);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

    EqGraph* Graph() const;
    int Index() const { return m_index; }

    // "Frequency 1000 Hz, gain +3.0 dB, Q 1.41" in the graph's language and units.
    static QString ValueText(const EqPoint& point, const EqGraph& graph);

  private:
    EqGraphAccessible* m_graph;
    int m_index;
};

}  // namespace varnoth
