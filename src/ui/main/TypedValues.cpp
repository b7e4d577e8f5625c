// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/TypedValues.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QSlider>

#include <string>
#include <vector>

#include "session/DeviceSession.h"
#include "session/ParameterAccess.h"
#include "session/TypedValue.h"
#include "ui/controls/EqGraph.h"
#include "ui/main/EditRules.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/StepText.h"
#include "ui/main/TypedEntry.h"
#include "ui/main/TypedRefusal.h"
#include "ui/main/WindowParams.h"
#include "ui/main/WindowUndo.h"

namespace varnoth {

using namespace mainwin;

namespace {

// The fields of an EQ band, in the order the graph labels them.
enum class BandField : std::uint8_t { Frequency, Gain, Q };
constexpr const char* kBandTags[] = {"F:", "G:", "Q:"};

struct Field {
    BandField kind;
    ParameterRef ref;
    std::uint8_t current;
};

// The fields band `band` of the graph has, with their values as stored; none for another band.
std::vector<Field> BandFields(MainWindow& window, int controlId, int band) {
    DeviceSession& session = window.Session();
    std::vector<Field> fields;
    if (controlId == kGraphicPanel) {
        if (const std::optional<ParameterRef> ref = GraphicBandParameter(window.EqPage(), band)) {
            fields.push_back({BandField::Gain, *ref, ReadGraphicBand(session, window.EqPage(), band)});
        }
        return fields;
    }
    const PeqBandParameters* params = PeqBand(band);
    if (controlId != kPeqPanel || params == nullptr) {
        return fields;
    }
    const bool micView = window.MicView() != 0;
    for (const auto& [kind, parameter] :
         {std::pair{BandField::Frequency, std::optional(params->freq)},
          std::pair{BandField::Gain, std::optional(params->gain)}, std::pair{BandField::Q, params->q}}) {
        if (!parameter) {
            continue;
        }
        const ParameterRef onPath = OnPath(*parameter, micView);
        fields.push_back({kind, onPath, ReadValue(session, onPath)});
    }
    return fields;
}

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

TypedValues::TypedValues(MainWindow& window) : QObject(&window), m_window(window) {
    for (const SliderEdit& edit : SliderEdits()) {
        if (QWidget* label = window.Control(edit.valueLabel)) {
            m_labelSliders[label] = edit.id;
            label->installEventFilter(this);
        }
        QWidget* slider = window.Control(edit.id);
        m_labelSliders[slider] = edit.id;
        slider->installEventFilter(this);
    }
    for (const int id : {kGraphicPanel, kPeqPanel}) {
        connect(window.Control<EqGraph>(id), &EqGraph::pointDoubleClicked, this,
                [this](int band, int controlId) { EditBand(controlId, band); });
    }
}

bool TypedValues::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && qobject_cast<QSlider*>(watched) != nullptr) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter) {
            EditLabel(FindSliderEdit(m_labelSliders.at(watched))->valueLabel);
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        const auto found = m_labelSliders.find(watched);
        if (found != m_labelSliders.end()) {
            EditLabel(FindSliderEdit(found->second)->valueLabel);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

TypedEntry* TypedValues::OpenEntry(QWidget* over, QPoint at,
                                   const std::vector<std::pair<QString, QString>>& fields) {
    if (m_entry) {
        m_entry->Close();
    }
    std::vector<TypedEntry::Field> rows;
    for (const auto& [tag, text] : fields) {
        rows.push_back({tag, text});
    }
    m_entry = new TypedEntry(over, rows);
    m_opened = rows;
    m_entry->Open(at);
    return m_entry;
}

bool TypedValues::Untouched(int field) const {
    const auto k = static_cast<std::size_t>(field);
    return k < m_opened.size() && m_entry->Text(field) == m_opened[k].text;
}

void TypedValues::EditLabel(int labelId) {
    const SliderEdit* edit = nullptr;
    for (const SliderEdit& candidate : SliderEdits()) {
        if (candidate.valueLabel == labelId) {
            edit = &candidate;
        }
    }
    QWidget* label = m_window.Control(labelId);
    auto* slider = edit ? m_window.Control<QSlider>(edit->id) : nullptr;
    if (slider == nullptr || label == nullptr || !slider->isEnabled() || m_window.IsSyncing()) {
        return;
    }
    const auto* shown = qobject_cast<QLabel*>(label);
    QWidget* surface = m_window.Surface();
    TypedEntry* entry =
        OpenEntry(surface, label->mapTo(surface, QPoint()), {{QString(), shown ? shown->text() : QString()}});
    entry->Edit(0)->setAccessibleName(slider->accessibleName());
    const int sliderId = edit->id;
    connect(entry, &TypedEntry::accepted, this, [this, sliderId] { ApplyLabel(sliderId); });
}

void TypedValues::ApplyLabel(int sliderId) {
    const SliderEdit* edit = FindSliderEdit(sliderId);
    auto* slider = m_window.Control<QSlider>(sliderId);
    const ParameterRef parameter = OnPath(edit->parameter, m_window.MicView() != 0);
    const int atMinimum = SliderValue(edit->rule, slider->maximum(), slider->minimum());
    const int atMaximum = SliderValue(edit->rule, slider->maximum(), slider->maximum());
    const int low = std::min(atMinimum, atMaximum);
    const int high = std::max(atMinimum, atMaximum);
    const bool rawShown = edit->rule == SliderRule::Effect && m_window.RawValues() != 0;
    const TypedValue::Scale scale =
        rawShown ? TypedValue::RawScale(low, high) : TypedValue::ScaleOf(parameter, low, high);
    const std::uint8_t current = ReadValue(m_window.Session(), parameter);
    if (Untouched(0)) {
        // Enter on the text the field opened with: the value may have changed on the amplifier meanwhile.
        m_entry->Close();
        return;
    }
    const TypedValue::Result result = TypedValue::Parse(m_entry->Text(0).toStdString(), scale, current);
    if (result.outcome != TypedValue::Outcome::Value) {
        m_entry->Refuse(0,
                        Utf8(TypedRefusalText(result.outcome, TypedValue::RangeOf(scale, m_window.Language()),
                                              m_window.Language())));
        return;
    }
    m_entry->Close();
    if (result.raw == current) {
        return;
    }
    // The slider moves to the value as a drag would, and its handler does the rest.
    const int position = SliderPosition(edit->rule, slider->maximum(), result.raw);
    if (slider->sliderPosition() == position) {
        const QSignalBlocker quiet(slider);
        slider->setValue(position == slider->minimum() ? slider->maximum() : slider->minimum());
    }
    m_window.Undo().NewGesture();
    slider->setSliderPosition(position);
}

void TypedValues::EditBand(int controlId, int band) {
    auto* graph = m_window.Control<EqGraph>(controlId);
    const std::vector<Field> fields = BandFields(m_window, controlId, band);
    if (graph == nullptr || fields.empty() || m_window.IsSyncing()) {
        return;
    }
    const int language = m_window.Language();
    std::vector<std::pair<QString, QString>> rows;
    for (const Field& field : fields) {
        rows.emplace_back(QString::fromLatin1(kBandTags[static_cast<int>(field.kind)]),
                          Utf8(field.ref.Shown(field.current, language)));
    }
    // Beside the handle, below and to the right of it.
    const EqPoint& point = graph->Point(band);
    constexpr QPoint kBesideHandle(36 + 12, 14 + 12);
    QWidget* surface = m_window.Surface();
    TypedEntry* entry =
        OpenEntry(surface, graph->mapTo(surface, QPoint(point.x, point.y) + kBesideHandle), rows);
    const int micView = m_window.MicView();
    const int page = m_window.EqPage();
    connect(entry, &TypedEntry::accepted, this, [this, controlId, band, micView, page] {
        if (micView != m_window.MicView() || page != m_window.EqPage()) {
            m_entry->Close();
            return;
        }
        ApplyBand(controlId, band);
    });
}

void TypedValues::ApplyBand(int controlId, int band) {
    const std::vector<Field> fields = BandFields(m_window, controlId, band);
    const int language = m_window.Language();
    std::vector<std::uint8_t> values;
    for (std::size_t k = 0; k < fields.size() && static_cast<int>(k) < m_entry->FieldCount(); ++k) {
        if (Untouched(static_cast<int>(k))) {
            values.push_back(fields[k].current);
            continue;
        }
        const TypedValue::Scale scale = TypedValue::ScaleOf(fields[k].ref);
        const TypedValue::Result result =
            TypedValue::Parse(m_entry->Text(static_cast<int>(k)).toStdString(), scale, fields[k].current);
        if (result.outcome != TypedValue::Outcome::Value) {
            m_entry->Refuse(
                static_cast<int>(k),
                QString::fromLatin1(kBandTags[static_cast<int>(fields[k].kind)]) + QLatin1Char(' ') +
                    Utf8(TypedRefusalText(result.outcome, TypedValue::RangeOf(scale, language), language)));
            return;
        }
        values.push_back(static_cast<std::uint8_t>(result.raw));
    }
    m_entry->Close();
    if (values.size() != fields.size()) {
        return;
    }
    bool changed = false;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        changed = changed || values[k] != fields[k].current;
    }
    if (!changed) {
        return;
    }
    m_window.Undo().NewGesture();
    {
        const std::string action =
            controlId == kGraphicPanel
                ? ParameterTitle(fields.front().ref, language)
                : ParameterTitle(OnPath(Named("PEQOn_Mic"), m_window.MicView() != 0), language) +
                      kBandAction.In(language) + std::to_string(band + 1);
        const WindowUndo::Edit step(
            m_window.Undo(),
            UndoSource::Of(UndoSource::Kind::EqBand, controlId,
                           controlId == kGraphicPanel ? m_window.EqPage() : m_window.MicView(), band),
            action);
        // Gain first, then frequency and Q, as a drag writes them; only what differs.
        for (const BandField kind : {BandField::Gain, BandField::Frequency, BandField::Q}) {
            for (std::size_t k = 0; k < fields.size(); ++k) {
                if (fields[k].kind != kind || values[k] == fields[k].current) {
                    continue;
                }
                WriteParameter(m_window.Session(), fields[k].ref, values[k]);
            }
        }
    }
}

}  // namespace varnoth
