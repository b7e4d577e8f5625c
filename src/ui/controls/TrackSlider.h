// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSlider>
#include <QString>

#include <functional>
#include <utility>

namespace varnoth {

// A plain trackbar that tells its owner only about moves the user made: `userMoved` comes when a key,
// a click on the groove or a thumb drag changed the value, never for a value the program sets (a
// refresh, a range change) nor for an action that could not move it (a key at the end of the range).
// Only the left button acts on it, so a middle click cannot jump the thumb to the pointer.
class TrackSlider : public QSlider {
    Q_OBJECT
  public:
    // What a position stands for as its owner shows it ("12 dB"), for assistive technology.
    using ShownText = std::function<QString(int position)>;

    explicit TrackSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Without a rule the position itself is shown.
    void SetShownText(ShownText shown) { m_shown = std::move(shown); }
    QString ShownAt(int position) const;
    // Moves to `position` on the user's behalf, as a key would: reported when the value changes. This is
    // how assistive technology sets the slider, so that it takes the user's path to whatever the slider
    // drives.
    void MoveTo(int position);
    // Tells assistive technology that what the slider shows has changed (its owner changed the text of the
    // position, or the value); nothing when it shows what it last announced.
    void AnnounceValue();

  signals:
    void userMoved();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    // Sets the value on the user's behalf: reported when it changes.
    void MoveBy(int delta);

  private:
    bool m_userAction = false;
    ShownText m_shown;
    QString m_announced;
};

}  // namespace varnoth
