// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

#include <array>

#include "ui/controls/EqGraph.h"

namespace varnoth {

// An EQ graph as assistive technology meets it: a chart with one child per band (EqBandAccessible) that
// tells the band's frequency, gain and Q; its value is the selected band's. The children live as long as
// the graph's interface.
class EqGraphAccessible : public QAccessibleWidget {
  public:
    explicit EqGraphAccessible(EqGraph* graph);
    ~EqGraphAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text type) const override;

    EqGraph* Graph() const;

    // Tells assistive technology that band `index` was picked (it takes the focus within the graph) or
    // changed its values.
    static void BandSelected(EqGraph& graph, int index);
    static void BandChanged(EqGraph& graph, int index);

  private:
    mutable std::array<QAccessible::Id, EqGraph::kMaxPoints> m_bands{};
};

}  // namespace varnoth
