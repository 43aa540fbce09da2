// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A title drawn twice: a grey copy under a pale one, offset by a pixel or
// two, which reads as a shadow on the dark window colour.

#include <QColor>
#include <QWidget>

namespace velmora {

class ShadowLabel : public QWidget {
    Q_OBJECT
  public:
    ShadowLabel(const QString& text, QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const { return text_; }
    void setColors(QColor face, QColor shadow);
    void setShadowOffset(int pixels);
    void setAlignment(Qt::Alignment alignment);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
    QColor face_{230, 227, 196};
    QColor shadow_{128, 128, 128};
    int offset_ = 2;
    Qt::Alignment alignment_ = Qt::AlignHCenter | Qt::AlignTop;
};

}  // namespace velmora
