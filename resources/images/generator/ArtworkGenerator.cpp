// SPDX-License-Identifier: GPL-3.0-or-later
// Draws every picture of the program into the directory given as the first argument and, when a second is
// given, the application icon for the desktop into that one: SVG and PNG in every size the desktop asks
// for. The output depends only on this code and the DejaVu Sans face, so running it again reproduces the
// committed files.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSvgGenerator>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

QString g_outDir;
bool g_ok = true;
// Pixels per picture pixel: every picture is drawn once at 1 and once at 2, the second saved as ID@2x.png
// for screens of more than one device pixel per pixel.
int g_scale = 1;

QFont Face(double pixelSize, int weight = QFont::Normal) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(static_cast<int>(pixelSize));
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void Save(int id, const QImage& image) {
    const QString name =
        g_scale == 1 ? QStringLiteral("%1.png").arg(id) : QStringLiteral("%1@%2x.png").arg(id).arg(g_scale);
    const QString path = QDir(g_outDir).filePath(name);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        g_ok = false;
    }
}

QImage Canvas(int w, int h, const QColor& fill = Qt::transparent) {
    QImage image(w * g_scale, h * g_scale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(g_scale);
    image.fill(fill);
    return image;
}

void Paint(QImage& image, const std::function<void(QPainter&)>& draw) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    draw(p);
}

QLinearGradient Vertical(double top, double bottom, const QColor& a, const QColor& b) {
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    return g;
}

// Palette shared by all pictures.
const QColor kSteelTop(0xF7, 0xF8, 0xFA);
const QColor kSteelBottom(0xD3, 0xD8, 0xDF);
const QColor kSteelEdge(0x8E, 0x98, 0xA5);
const QColor kAmberTop(0xFF, 0xD8, 0x6B);
const QColor kAmberBottom(0xF5, 0x9E, 0x0B);
const QColor kAmberEdge(0xC2, 0x74, 0x00);
const QColor kInk(0x22, 0x2A, 0x35);
const QColor kNavy(0x16, 0x23, 0x3A);
const QColor kCyan(0x22, 0xC7, 0xF2);

void Pill(QPainter& p, const QRectF& r, double radius, const QColor& top, const QColor& bottom,
          const QColor& edge) {
    p.setPen(QPen(edge, 1.0));
    p.setBrush(Vertical(r.top(), r.bottom(), top, bottom));
    p.drawRoundedRect(r, radius, radius);
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(r.left() + radius, r.top() + 1.0), QPointF(r.right() - radius, r.top() + 1.0));
}

void ModeButton(int id, int width, const QString& text, bool selected) {
    QImage image = Canvas(width, 18);
    Paint(image, [&](QPainter& p) {
        const QRectF r(0.5, 0.5, width - 1.0, 17.0);
        if (selected) {
            Pill(p, r, 4, kAmberTop, kAmberBottom, kAmberEdge);
        } else {
            Pill(p, r, 4, kSteelTop, kSteelBottom, kSteelEdge);
        }
        p.setFont(Face(10, QFont::Bold));
        p.setPen(selected ? QColor(0x3A, 0x22, 0x00) : kInk);
        p.drawText(QRectF(0, 0, width, 18), Qt::AlignCenter, text);
    });
    Save(id, image);
}

void SelectorButtons() {
    QImage standard = Canvas(97, 19);
    Paint(standard,
          [](QPainter& p) { Pill(p, QRectF(0.5, 0.5, 96, 18), 5, kSteelTop, kSteelBottom, kSteelEdge); });
    Save(236, standard);
    QImage selected = Canvas(107, 39);
    Paint(selected, [](QPainter& p) {
        Pill(p, QRectF(0.5, 0.5, 106, 38), 8, kAmberTop, kAmberBottom, kAmberEdge);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 60));
        p.drawRoundedRect(QRectF(3, 2.5, 101, 15), 6, 6);
    });
    Save(237, selected);
}

void UsbSymbol(int id, const QColor& colour) {
    QImage image = Canvas(20, 29);
    Paint(image, [&](QPainter& p) {
        p.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(10, 6), QPointF(10, 23));
        QPainterPath left;
        left.moveTo(10, 19);
        left.lineTo(4.5, 14);
        left.lineTo(4.5, 11);
        p.drawPath(left);
        QPainterPath right;
        right.moveTo(10, 16.5);
        right.lineTo(15.5, 12);
        right.lineTo(15.5, 9.5);
        p.drawPath(right);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        QPainterPath arrow;
        arrow.moveTo(10, 0.5);
        arrow.lineTo(14, 6.5);
        arrow.lineTo(6, 6.5);
        arrow.closeSubpath();
        p.drawPath(arrow);
        p.drawEllipse(QPointF(4.5, 9.5), 2.3, 2.3);
        p.drawRect(QRectF(13.3, 6.5, 4.4, 4.0));
        p.drawEllipse(QPointF(10, 25.5), 3.2, 3.2);
    });
    Save(id, image);
}

void ChannelPictures() {
    QImage note = Canvas(26, 26);
    Paint(note, [](QPainter& p) {
        const QColor green(0x1F, 0xB2, 0x5A);
        p.setPen(Qt::NoPen);
        p.setBrush(Vertical(0, 26, QColor(0x4A, 0xDE, 0x80), green));
        QPainterPath beam;
        beam.moveTo(9, 4);
        beam.lineTo(22, 1.5);
        beam.lineTo(22, 5.5);
        beam.lineTo(9, 8);
        beam.closeSubpath();
        p.drawPath(beam);
        p.drawRect(QRectF(8.5, 5, 2.2, 14.5));
        p.drawRect(QRectF(19.9, 2.5, 2.2, 14.5));
        p.save();
        p.translate(6.8, 20);
        p.rotate(-20);
        p.drawEllipse(QPointF(0, 0), 4.2, 3.1);
        p.restore();
        p.save();
        p.translate(18.2, 17.5);
        p.rotate(-20);
        p.drawEllipse(QPointF(0, 0), 4.2, 3.1);
        p.restore();
    });
    Save(213, note);

    QImage mic = Canvas(26, 26);
    Paint(mic, [](QPainter& p) {
        const QColor orange(0xF0, 0x8A, 0x12);
        p.setPen(Qt::NoPen);
        p.setBrush(Vertical(1, 16, QColor(0xFF, 0xC0, 0x5A), orange));
        p.drawRoundedRect(QRectF(8.5, 1, 9, 15), 4.5, 4.5);
        p.setPen(QPen(QColor(255, 255, 255, 120), 1.0));
        for (double y = 4; y < 12; y += 2.5) {
            p.drawLine(QPointF(10, y), QPointF(16, y));
        }
        p.setPen(QPen(orange, 2.0, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(5.5, 5, 15, 15), 200 * 16, 140 * 16);
        p.drawLine(QPointF(13, 20), QPointF(13, 24));
        p.drawLine(QPointF(8.5, 24.5), QPointF(17.5, 24.5));
    });
    Save(214, mic);
}

void StatusMarks() {
    const auto mark = [](int id, const QColor& fill, const QColor& edge) {
        QImage image = Canvas(16, 10, fill);
        Paint(image, [&](QPainter& p) {
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(edge);
            p.drawRect(0, 0, 15, 9);
        });
        Save(id, image);
    };
    mark(234, QColor(0xE5, 0x2B, 0x2B), QColor(0xA3, 0x14, 0x14));
    mark(235, QColor(0x22, 0xC5, 0x5E), QColor(0x15, 0x80, 0x3D));
}

void Bolt(QPainter& p, const QPointF& c, double s, const QColor& colour) {
    QPainterPath bolt;
    bolt.moveTo(c + QPointF(0.10, -0.50) * s);
    bolt.lineTo(c + QPointF(-0.28, 0.06) * s);
    bolt.lineTo(c + QPointF(-0.02, 0.06) * s);
    bolt.lineTo(c + QPointF(-0.12, 0.50) * s);
    bolt.lineTo(c + QPointF(0.28, -0.08) * s);
    bolt.lineTo(c + QPointF(0.02, -0.08) * s);
    bolt.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(bolt);
}

// The notice's background; its icon is a picture of its own, so that the background may stretch to any
// size while the icon keeps its shape.
void Banner() {
    QImage image = Canvas(516, 110);
    Paint(image, [](QPainter& p) {
        QLinearGradient g(0, 0, 516, 110);
        g.setColorAt(0, QColor(0x5B, 0xA8, 0xF0));
        g.setColorAt(1, QColor(0x7E, 0xE0, 0xA8));
        p.fillRect(QRect(0, 0, 516, 110), g);
        QLinearGradient fade(120, 0, 260, 0);
        fade.setColorAt(0, QColor(255, 255, 255, 0));
        fade.setColorAt(1, QColor(255, 255, 255, 48));
        p.setPen(QPen(QBrush(fade), 2.0));
        for (int i = 0; i < 6; ++i) {
            QPainterPath wave;
            wave.moveTo(120, 70 + 6 * i);
            for (int x = 120; x <= 516; x += 4) {
                wave.lineTo(x, 70 + 6 * i + 7 * std::sin((x + 40 * i) / 38.0));
            }
            p.drawPath(wave);
        }
    });
    Save(210, image);
}

// The notice's icon: a bolt on a white disc, on a transparent square.
void NoticeIcon() {
    QImage image = Canvas(76, 76);
    Paint(image, [](QPainter& p) {
        const QPointF c(38, 38);
        QRadialGradient disc(c, 40);
        disc.setColorAt(0, QColor(255, 255, 255, 235));
        disc.setColorAt(1, QColor(255, 255, 255, 170));
        p.setPen(QPen(QColor(255, 255, 255, 220), 2.0));
        p.setBrush(disc);
        p.drawEllipse(c, 36, 36);
        Bolt(p, c, 52, QColor(0xF5, 0x9E, 0x0B));
    });
    Save(211, image);
}

// The application icon on a 256 x 256 canvas: an EQ curve over level bars on a navy tile.
void DrawAppIcon(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(8, 248, QColor(0x24, 0x3B, 0x63), kNavy));
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 52, 52);
    p.setPen(QPen(QColor(255, 255, 255, 28), 2.0));
    for (int y = 72; y <= 200; y += 32) {
        p.drawLine(QPointF(36, y), QPointF(220, y));
    }
    const double heights[] = {52, 84, 120, 96, 64, 104, 72};
    for (int i = 0; i < 7; ++i) {
        const double x = 44 + i * 25;
        p.setPen(Qt::NoPen);
        p.setBrush(Vertical(200 - heights[i], 200, kAmberTop, kAmberBottom));
        p.drawRoundedRect(QRectF(x, 200 - heights[i], 16, heights[i]), 5, 5);
    }
    QPainterPath curve;
    curve.moveTo(30, 150);
    curve.cubicTo(80, 150, 90, 70, 128, 70);
    curve.cubicTo(166, 70, 170, 130, 226, 118);
    p.setPen(QPen(kCyan, 10.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    p.setPen(QPen(QColor(255, 255, 255, 200), 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);
}

void AppIcon() {
    QImage image = Canvas(256, 256);
    Paint(image, DrawAppIcon);
    Save(209, image);
}

// The icon for the desktop's icon theme: SIZE.png for each size of the hicolor theme, drawn at that size
// rather than scaled down, and icon.svg.
void DesktopIcons(const QString& dir) {
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image = Canvas(size, size);
        Paint(image, [size](QPainter& p) {
            p.scale(size / 256.0, size / 256.0);
            DrawAppIcon(p);
        });
        const QString path = QDir(dir).filePath(QStringLiteral("%1.png").arg(size));
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            g_ok = false;
        }
    }
    QSvgGenerator svg;
    svg.setFileName(QDir(dir).filePath(QStringLiteral("icon.svg")));
    svg.setSize(QSize(256, 256));
    svg.setViewBox(QRect(0, 0, 256, 256));
    svg.setTitle(QStringLiteral("Varnoth"));
    svg.setDescription(QStringLiteral("Karaoke amplifier control panel"));
    QPainter p;
    if (!p.begin(&svg)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
        g_ok = false;
        return;
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    DrawAppIcon(p);
    p.end();
}

// Keys of the remote in the order of their key index: area in dialog units, caption.
struct RemoteKey {
    double x, y, w, h;
    const char* caption;
};

void Remote() {
    // One dialog unit of the remote-learning dialog is 1.5 pixels in both directions.
    const double du = 1.5;
    const RemoteKey keys[] = {
        {12, 201, 20, 16, "M1"},    {43, 201, 20, 16, "M2"},     {75, 201, 20, 16, "M3"},
        {106, 201, 20, 16, "M4"},   {97, 109, 20, 16, "+"},      {26, 108, 20, 16, "\u2212"},
        {97, 154, 20, 16, "+"},     {26, 154, 20, 16, "\u2212"}, {62, 132, 20, 16, "MUTE"},
        {99, 50, 20, 14, "\u266F"}, {63, 50, 20, 14, "\u266E"},  {26, 50, 20, 14, "\u266D"},
        {24, 28, 23, 14, "CD/AUX"}, {99, 72, 20, 14, "+"},       {26, 72, 20, 14, "\u2212"},
    };
    QImage image = Canvas(212, 480, QColor(0xE6, 0xE6, 0xE6));
    Paint(image, [&](QPainter& p) {
        const QRectF body(8, 6, 196, 468);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 40));
        p.drawRoundedRect(body.translated(2, 3), 34, 34);
        QLinearGradient shell(body.left(), 0, body.right(), 0);
        shell.setColorAt(0, QColor(0x2B, 0x31, 0x3B));
        shell.setColorAt(0.5, QColor(0x3C, 0x44, 0x50));
        shell.setColorAt(1, QColor(0x24, 0x29, 0x31));
        p.setBrush(shell);
        p.setPen(QPen(QColor(0x15, 0x19, 0x1F), 1.5));
        p.drawRoundedRect(body, 34, 34);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x8B, 0x12, 0x20));
        p.drawRoundedRect(QRectF(92, 14, 28, 10), 5, 5);

        p.setFont(Face(8, QFont::Bold));
        p.setPen(QColor(0xA8, 0xB3, 0xC2));
        const auto caption = [&](double y, const char* text) {
            p.drawText(QRectF(70, y, 72, 12), Qt::AlignCenter, QString::fromUtf8(text));
        };
        caption(72 * du + 5, "EFFECT");
        caption(108 * du + 6, "MIC");
        caption(154 * du + 6, "MUSIC");
        p.drawText(QRectF(12, 201 * du - 14, 188, 12), Qt::AlignCenter, QStringLiteral("MEMORY"));

        for (const RemoteKey& k : keys) {
            const QRectF r(k.x * du, k.y * du, k.w * du, k.h * du);
            const bool memory = k.caption[0] == 'M' && k.caption[1] != 'U';
            const bool mute = k.caption[0] == 'M' && k.caption[1] == 'U';
            const QColor top = mute     ? QColor(0xF0, 0x5A, 0x5A)
                               : memory ? kAmberTop
                                        : QColor(0x6B, 0x76, 0x86);
            const QColor bottom = mute     ? QColor(0xB9, 0x1C, 0x1C)
                                  : memory ? kAmberBottom
                                           : QColor(0x47, 0x50, 0x5E);
            p.setPen(QPen(QColor(0x12, 0x16, 0x1B), 1.0));
            p.setBrush(Vertical(r.top(), r.bottom(), top, bottom));
            p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
            p.setPen(memory ? QColor(0x3A, 0x22, 0x00) : Qt::white);
            const QString text = QString::fromUtf8(k.caption);
            p.setFont(Face(text.size() > 2 ? 8 : 12, QFont::Bold));
            p.drawText(r, Qt::AlignCenter, text);
        }

        p.setPen(QPen(QColor(255, 255, 255, 30), 1.0));
        for (int i = 0; i < 7; ++i) {
            p.drawLine(QPointF(60, 360 + 8 * i), QPointF(152, 360 + 8 * i));
        }
        p.setPen(QColor(0xD8, 0xDE, 0xE6));
        p.setFont(Face(15, QFont::Bold));
        p.drawText(QRectF(8, 420, 196, 22), Qt::AlignCenter, QStringLiteral("VARNOTH"));
        p.setFont(Face(8));
        p.setPen(QColor(0x8A, 0x95, 0xA5));
        p.drawText(QRectF(8, 442, 196, 12), Qt::AlignCenter, QStringLiteral("KARAOKE DSP REMOTE"));
    });
    Save(207, image);
}

// Signal-flow diagram of the amplifier.
struct Block {
    double x, y, w, h;
    const char* title;
    const char* detail;
    QColor colour;
};

void Diagram() {
    QImage image = Canvas(812, 409, Qt::white);
    Paint(image, [](QPainter& p) {
        const QColor input(0x47, 0x55, 0x69), dynamics(0x0E, 0x94, 0x88), eq(0x25, 0x63, 0xEB);
        const QColor effect(0x7C, 0x3A, 0xED), mixer(0x64, 0x74, 0x8B), volume(0xD9, 0x77, 0x06);
        const QColor output(0x16, 0xA3, 0x4A);
        const double bh = 34;
        const double rowMic = 44, rowMusic = 104, rowFx1 = 170, rowFx2 = 222, rowCentre = 282, rowSub = 340;
        const std::vector<Block> blocks = {
            {10, rowMic, 62, bh, "MIC IN", "", input},
            {86, rowMic, 60, bh, "Gain", "input", dynamics},
            {160, rowMic, 60, bh, "Gate", "noise", dynamics},
            {234, rowMic, 60, bh, "Comp", "compressor", dynamics},
            {308, rowMic, 60, bh, "PEQ", "4-band", eq},
            {10, rowMusic, 62, bh, "MUSIC IN", "", input},
            {86, rowMusic, 60, bh, "Gain", "input", dynamics},
            {160, rowMusic, 60, bh, "Gate", "noise", dynamics},
            {234, rowMusic, 60, bh, "Comp", "compressor", dynamics},
            {308, rowMusic, 60, bh, "PEQ", "4-band", eq},
            {394, rowFx1, 78, bh, "Effect 1", "echo", effect},
            {394, rowFx2, 78, bh, "Effect 2", "reverb", effect},
            {522, rowMic, 70, bh, "Mic GEQ", "10-band", eq},
            {522, rowMusic, 70, bh, "Music GEQ", "10-band", eq},
            {522, rowCentre, 70, bh, "Centre GEQ", "10-band", eq},
            {522, rowSub, 70, bh, "Sub proc", "crossover", dynamics},
            {604, rowSub, 60, bh, "Sub GEQ", "10-band", eq},
            {676, rowMic, 64, bh, "Mic Vol", "master", volume},
            {676, rowMusic, 64, bh, "Music Vol", "master", volume},
            {676, rowCentre, 64, bh, "Centre Vol", "master", volume},
            {676, rowSub, 64, bh, "Sub Vol", "master", volume},
            {754, rowCentre, 52, bh, "CENTRE", "out", output},
            {754, rowSub, 52, bh, "SUB", "out", output},
        };
        const QColor wire(0x33, 0x41, 0x55);
        const auto arrow = [&](QPointF a, QPointF b) {
            p.setPen(QPen(wire, 1.6));
            p.drawLine(a, b);
            const QPointF d = (b - a) / std::hypot(b.x() - a.x(), b.y() - a.y());
            const QPointF n(-d.y(), d.x());
            QPainterPath head;
            head.moveTo(b);
            head.lineTo(b - 7 * d + 3.5 * n);
            head.lineTo(b - 7 * d - 3.5 * n);
            head.closeSubpath();
            p.setPen(Qt::NoPen);
            p.setBrush(wire);
            p.drawPath(head);
        };
        const auto line = [&](QPointF a, QPointF b, bool dashed = false) {
            p.setPen(QPen(wire, 1.6, dashed ? Qt::DashLine : Qt::SolidLine));
            p.drawLine(a, b);
        };
        const auto dot = [&](QPointF c) {
            p.setPen(Qt::NoPen);
            p.setBrush(wire);
            p.drawEllipse(c, 3, 3);
        };
        const double mid = bh / 2;
        for (double row : {rowMic, rowMusic}) {
            arrow({72, row + mid}, {86, row + mid});
            arrow({146, row + mid}, {160, row + mid});
            arrow({220, row + mid}, {234, row + mid});
            arrow({294, row + mid}, {308, row + mid});
            arrow({368, row + mid}, {486, row + mid});
        }
        // Effect sends from both paths.
        for (double x : {378.0, 386.0}) {
            const double from = x < 380 ? rowMic + mid : rowMusic + mid;
            dot({x, from});
            line({x, from}, {x, rowFx2 + mid}, true);
        }
        arrow({378, rowFx1 + mid}, {394, rowFx1 + mid});
        arrow({378, rowFx2 + mid}, {394, rowFx2 + mid});
        dot({386, rowFx1 + mid});
        dot({386, rowFx2 + mid});
        arrow({472, rowFx1 + mid}, {486, rowFx1 + mid});
        arrow({472, rowFx2 + mid}, {486, rowFx2 + mid});
        for (double row : {rowMic, rowMusic, rowCentre, rowSub}) {
            arrow({508, row + mid}, {522, row + mid});
        }
        arrow({592, rowMic + mid}, {676, rowMic + mid});
        arrow({592, rowMusic + mid}, {676, rowMusic + mid});
        arrow({592, rowCentre + mid}, {676, rowCentre + mid});
        arrow({592, rowSub + mid}, {604, rowSub + mid});
        arrow({664, rowSub + mid}, {676, rowSub + mid});
        arrow({740, rowMic + mid}, {754, rowMic + mid});
        arrow({740, rowMusic + mid}, {754, rowMusic + mid});
        arrow({740, rowCentre + mid}, {754, rowCentre + mid});
        arrow({740, rowSub + mid}, {754, rowSub + mid});

        const auto box = [&](const QRectF& r, const QColor& c) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 0, 0, 28));
            p.drawRoundedRect(r.translated(1.5, 2), 7, 7);
            p.setBrush(Vertical(r.top(), r.bottom(), c.lighter(118), c));
            p.setPen(QPen(c.darker(130), 1.0));
            p.drawRoundedRect(r, 7, 7);
        };
        for (const Block& b : blocks) {
            const QRectF r(b.x, b.y, b.w, b.h);
            box(r, b.colour);
            p.setPen(Qt::white);
            if (b.detail[0] == '\0') {
                p.setFont(Face(10, QFont::Bold));
                p.drawText(r, Qt::AlignCenter, QString::fromUtf8(b.title));
                continue;
            }
            p.setFont(Face(std::strlen(b.title) > 8 ? 9 : 10, QFont::Bold));
            p.drawText(QRectF(b.x, b.y + 3, b.w, 16), Qt::AlignCenter, QString::fromUtf8(b.title));
            p.setFont(Face(8));
            p.setPen(QColor(255, 255, 255, 210));
            p.drawText(QRectF(b.x, b.y + 17, b.w, 13), Qt::AlignCenter, QString::fromUtf8(b.detail));
        }
        // Mixer bus and the main output shared by the two paths.
        const QRectF mix(486, rowMic, 22, rowSub + bh - rowMic);
        box(mix, mixer);
        p.save();
        p.translate(mix.center());
        p.rotate(-90);
        p.setPen(Qt::white);
        p.setFont(Face(10, QFont::Bold));
        p.drawText(QRectF(-mix.height() / 2, -11, mix.height(), 22), Qt::AlignCenter,
                   QStringLiteral("MIXER"));
        p.restore();
        const QRectF main(754, rowMic, 52, rowMusic + bh - rowMic);
        box(main, output);
        p.setPen(Qt::white);
        p.setFont(Face(10, QFont::Bold));
        p.drawText(QRectF(main.left(), main.center().y() - 16, main.width(), 16), Qt::AlignCenter,
                   QStringLiteral("MAIN"));
        p.setFont(Face(8));
        p.drawText(QRectF(main.left(), main.center().y(), main.width(), 14), Qt::AlignCenter,
                   QStringLiteral("L / R out"));

        p.setPen(kInk);
        p.setFont(Face(13, QFont::Bold));
        p.drawText(QRectF(10, 8, 500, 20), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("VARNOTH  signal flow"));
        p.setFont(Face(9));
        p.setPen(QColor(0x64, 0x74, 0x8B));
        p.drawText(QRectF(10, 386, 792, 16), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("PEQ: 4-band parametric EQ     GEQ: 10-band graphic EQ     "
                                  "Dashed: effect sends from both paths"));
        const QColor legend[] = {dynamics, eq, effect, volume, output};
        const char* names[] = {"dynamics", "equaliser", "effects", "volume", "outputs"};
        for (int i = 0; i < 5; ++i) {
            const double x = 540 + 54 * i;
            p.setPen(Qt::NoPen);
            p.setBrush(legend[i]);
            p.drawRoundedRect(QRectF(x, 12, 10, 10), 2, 2);
            p.setPen(QColor(0x47, 0x55, 0x69));
            p.setFont(Face(8));
            p.drawText(QRectF(x + 13, 10, 44, 14), Qt::AlignLeft | Qt::AlignVCenter,
                       QString::fromUtf8(names[i]));
        }
    });
    Save(230, image);
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR [ICON_DIR]\n", argv[0]);
        return 2;
    }
    g_outDir = QString::fromLocal8Bit(argv[1]);
    for (const int scale : {1, 2}) {
        g_scale = scale;
        const char* modes[] = {"M1", "M2", "M3", "M4"};
        for (int k = 0; k < 4; ++k) {
            const int width = k == 3 ? 29 : 30;
            ModeButton(221 + k, width, QString::fromLatin1(modes[k]), false);
            ModeButton(225 + k, width, QString::fromLatin1(modes[k]), true);
        }
        SelectorButtons();
        UsbSymbol(238, QColor(0x16, 0xA3, 0x4A));
        UsbSymbol(239, QColor(0xDC, 0x26, 0x26));
        ChannelPictures();
        StatusMarks();
        Banner();
        NoticeIcon();
        AppIcon();
        Remote();
        Diagram();
    }
    g_scale = 1;
    if (argc == 3) {
        DesktopIcons(QString::fromLocal8Bit(argv[2]));
    }
    return g_ok ? 0 : 1;
}
