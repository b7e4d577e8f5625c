// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/EqBandAccessible.h"

#include "ui/controls/EqGraph.h"
#include "ui/controls/EqGraphAccessible.h"

namespace varnoth {

EqBandAccessible::EqBandAccessible(EqGraphAccessible* graph, int index) : m_graph(graph), m_index(index) {}

EqGraph* EqBandAccessible::Graph() const {
    return m_graph->Graph();
}

bool EqBandAccessible::isValid() const {
    return m_graph->isValid() && m_index < Graph()->PointCount();
}

QWindow* EqBandAccessible::window() const {
    return m_graph->window();
}

QAccessibleInterface* EqBandAccessible::parent() const {
    return m_graph;
}

QString EqBandAccessible::ValueText(const EqPoint& point, const EqGraph& graph) {
    const bool english = graph.Language() != 0;
    const bool decimals = graph.ScaleMode() == 1;
    const double gain = point.gain;
    const QString gainText =
        decimals ? QString::asprintf("%+.1f dB", gain) : QString::asprintf("%+d dB", static_cast<int>(gain));
    QString text =
        english ? QString::asprintf("Frequency %.0f Hz, gain ", static_cast<double>(point.freq)) + gainText
                : QString::asprintf("频率 %.0f Hz，增益 ", static_cast<double>(point.freq)) + gainText;
    if (decimals && point.type == EQ_TYPE_PEAK) {
        text += QString::asprintf(english ? ", Q %.2f" : "，Q值 %.2f", static_cast<double>(point.q));
    }
    return text;
}

QString EqBandAccessible::text(QAccessible::Text type) const {
    if (!isValid()) {
        return {};
    }
    const EqGraph* graph = Graph();
    switch (type) {
        case QAccessible::Name:
            return graph->Language() != 0 ? QStringLiteral("Band %1").arg(m_index + 1)
                                          : QStringLiteral("频段 %1").arg(m_index + 1);
        case QAccessible::Value:
        case QAccessible::Description:
            return ValueText(graph->Point(m_index), *graph);
        default:
            return {};
    }
}

QRect EqBandAccessible::rect() const {
    return m_graph->rect();
}

QAccessible::State EqBandAccessible::state() const {
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.selectable = true;
    state.focusable = true;
    const bool selected = Graph()->Selected() == m_index;
    state.selected = selected;
    state.focused = selected && Graph()->hasFocus();
    return state;
}

}  // namespace varnoth
