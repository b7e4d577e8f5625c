// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/EqGraphAccessible.h"

#include "ui/controls/EqBandAccessible.h"

namespace varnoth {

EqGraphAccessible::EqGraphAccessible(EqGraph* graph) : QAccessibleWidget(graph, QAccessible::Chart) {}

EqGraphAccessible::~EqGraphAccessible() {
    for (const QAccessible::Id id : m_bands) {
        if (id != 0) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }
}

EqGraph* EqGraphAccessible::Graph() const {
    return static_cast<EqGraph*>(widget());
}

int EqGraphAccessible::childCount() const {
    return Graph()->PointCount();
}

QAccessibleInterface* EqGraphAccessible::child(int index) const {
    if (index < 0 || index >= childCount()) {
        return nullptr;
    }
    QAccessible::Id& id = m_bands.at(static_cast<std::size_t>(index));
    if (id == 0) {
        id = QAccessible::registerAccessibleInterface(
            new EqBandAccessible(const_cast<EqGraphAccessible*>(this), index));
    }
    return QAccessible::accessibleInterface(id);
}

int EqGraphAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* band = dynamic_cast<const EqBandAccessible*>(child);
    return band != nullptr && band->Graph() == Graph() ? band->Index() : -1;
}

QAccessibleInterface* EqGraphAccessible::focusChild() const {
    return Graph()->hasFocus() ? child(Graph()->Selected()) : nullptr;
}

QString EqGraphAccessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Value) {
        const EqGraph* graph = Graph();
        const int selected = graph->Selected();
        return selected >= 0 && selected < graph->PointCount()
                   ? EqBandAccessible::ValueText(graph->Point(selected), *graph)
                   : QString();
    }
    return QAccessibleWidget::text(type);
}

void EqGraphAccessible::BandSelected(EqGraph& graph, int index) {
    if (!QAccessible::isActive() || !graph.hasFocus()) {
        return;
    }
    QAccessibleEvent event(&graph, QAccessible::Focus);
    event.setChild(index);
    QAccessible::updateAccessibility(&event);
}

void EqGraphAccessible::BandChanged(EqGraph& graph, int index) {
    if (!QAccessible::isActive()) {
        return;
    }
    QAccessibleEvent event(&graph, QAccessible::DescriptionChanged);
    event.setChild(index);
    QAccessible::updateAccessibility(&event);
}

}  // namespace varnoth
