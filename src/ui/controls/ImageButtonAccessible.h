// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

namespace varnoth {

class ImageButton;

// An image button as assistive technology meets it: a button named by its accessible name or else its
// caption, which a button with a selected look reports as checkable and, while it shows that look, as
// checked; pressing it clicks it.
class ImageButtonAccessible : public QAccessibleWidget {
  public:
    explicit ImageButtonAccessible(ImageButton* button);

    QAccessible::State state() const override;
    QString text(QAccessible::Text type) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

  private:
    ImageButton* Button() const;
};

}  // namespace varnoth
