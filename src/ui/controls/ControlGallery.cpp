// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/ControlGallery.h"

#include <QLabel>
#include <array>

#include "ui/controls/CompressorCurve.h"
#include "ui/controls/EqGraph.h"
#include "ui/controls/GroupBox.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/ImageResources.h"
#include "ui/controls/LevelMeter.h"
#include "ui/controls/StepSlider.h"

namespace varnoth {
namespace {

QLabel* Picture(QWidget* parent, int id, int x, int y) {
    auto* label = new QLabel(parent);
    label->setPixmap(QPixmap::fromImage(LoadImageResource(id)));
    label->move(x, y);
    label->adjustSize();
    return label;
}

}  // namespace

ControlGallery::ControlGallery(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Varnoth controls"));
    setFixedSize(1060, 560);

    auto* frame = new GroupBox(this);
    frame->setGeometry(4, 4, 500, 236);
    frame->SetBorderColor(QColor(255, 180, 0));
    auto* captioned = new GroupBox(this);
    captioned->setTitle(QStringLiteral("Compressor"));
    captioned->setGeometry(512, 4, 290, 236);

    m_parametric = new EqGraph(this, 1022);
    m_parametric->setGeometry(90, 56, 406, 172);
    m_parametric->SetScaleMode(1);
    m_parametric->SetPointCount(4);
    const std::array<float, 4> peqGains = {4.5f, -6.0f, 3.0f, -2.5f};
    for (int i = 0; i < 4; ++i) {
        m_parametric->Point(i).gain = peqGains[static_cast<std::size_t>(i)];
        EqGraph::CalcResponse(m_parametric->Point(i));
    }
    m_parametric->Point(1).q = 2.2f;
    EqGraph::CalcResponse(m_parametric->Point(1));
    m_parametric->SetSelected(1);

    for (int i = 0; i < 2; ++i) {
        auto* meter = new LevelMeter(this);
        meter->setGeometry(12 + 9 * i, 96, 7, 98);
        meter->SetBands(1);
        meter->SetLedCount(14);
        meter->ResetControl();
        meter->SetData(0, i == 0 ? 62 : 38);
    }
    for (int i = 0; i < 2; ++i) {
        auto* slider = new StepSlider(Qt::Vertical, this);
        slider->setRange(0, 127);
        slider->setValue(i == 0 ? 40 : 80);
        slider->setTickPosition(QSlider::TicksRight);
        slider->setTickInterval(12);
        slider->setGeometry(34 + 26 * i, 82, 22, 120);
    }

    auto* compressor = new CompressorCurve(this);
    compressor->setGeometry(530, 28, 250, 174);
    compressor->SetEnabledCurve(true);
    compressor->SetThreshold(-20.0f);
    compressor->SetUpperSlope(0.35f);
    auto* threshold = new StepSlider(Qt::Horizontal, this);
    threshold->setRange(0, 127);
    threshold->setValue(60);
    threshold->setGeometry(530, 208, 250, 22);

    auto* off = new CompressorCurve(this);
    off->setGeometry(810, 28, 240, 174);
    off->SetThreshold(-10.0f);
    off->SetUpperSlope(0.5f);

    m_graphic = new EqGraph(this, 1015);
    m_graphic->setGeometry(8, 300, 787, 195);
    const std::array<float, 10> geqGains = {6, 4, 2, 0, -3, -5, -2, 3, 8, 12};
    for (int i = 0; i < 10; ++i) {
        m_graphic->Point(i).gain = geqGains[static_cast<std::size_t>(i)];
        EqGraph::CalcResponse(m_graphic->Point(i));
    }
    m_graphic->SetSelected(9);

    for (int k = 0; k < 4; ++k) {
        auto* button = new ImageButton(this);
        button->LoadImages(221 + k, 225 + k);
        button->setGeometry(8 + 34 * k, 250, k == 3 ? 29 : 30, 18);
        button->SetAltState(k == 1);
    }
    const std::array<const char*, 4> pages = {"Center EQ", "Mic EQ", "Music EQ", "Sub EQ"};
    for (int k = 0; k < 4; ++k) {
        auto* button = new ImageButton(this);
        button->LoadImages(236, 237);
        button->setText(QString::fromLatin1(pages[static_cast<std::size_t>(k)]));
        button->setGeometry(160 + 112 * k, 250, 107, 39);
        button->SetAltState(k == 1);
    }
    auto* mic = new ImageButton(this);
    mic->LoadImages(236, 237);
    mic->setText(QStringLiteral("话筒控制"));
    mic->setGeometry(820, 250, 97, 19);
    auto* music = new ImageButton(this);
    music->LoadImages(236, 237);
    music->setText(QStringLiteral("音乐控制"));
    music->setGeometry(920, 250, 107, 39);
    music->SetAltState(true);

    Picture(this, 238, 810, 310);
    Picture(this, 239, 840, 310);
    Picture(this, 214, 870, 312);
    Picture(this, 213, 904, 312);
    Picture(this, 234, 940, 318);
    Picture(this, 235, 964, 318);
    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap::fromImage(LoadImageResource(209))
                        .scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    icon->setGeometry(990, 300, 64, 64);
}

}  // namespace varnoth
