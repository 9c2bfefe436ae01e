#include "toolbar_button.h"

#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace {
constexpr QSize buttonSize(44, 52);
constexpr int imageSize = 32;
constexpr int imageTop = 3;
} // namespace

ToolbarButton::ToolbarButton(const QString &key, const QString &caption, const QString &toolTip,
                             const QIcon &image, QWidget *parent)
    : QToolButton(parent), m_key(key)
{
    setText(caption);
    setToolTip(toolTip);
    // A screen reader names a button by its caption, so one with an image
    // alone goes by its tooltip.
    if (caption.isEmpty())
        setAccessibleName(toolTip);
    setIcon(image);
    setIconSize(QSize(imageSize, imageSize));
    setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon);
    setAutoRaise(true);
    setFixedSize(buttonSize);
}

QFont ToolbarButton::captionFont() const
{
    QFont captionFont = font();
    const int room = width() - 2;
    while (QFontMetrics(captionFont).horizontalAdvance(text()) > room && captionFont.pointSizeF() > 6)
        captionFont.setPointSizeF(captionFont.pointSizeF() - 0.5);
    return captionFont;
}

void ToolbarButton::paintEvent(QPaintEvent *)
{
    // The style draws the button itself (raised under the pointer, sunken when
    // pressed); the image and caption are placed here.
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawComplexControl(QStyle::CC_ToolButton, option);

    const int shift = isDown() ? 1 : 0;
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const int imageTopHere = text().isEmpty() ? (height() - imageSize) / 2 : imageTop;
    icon().paint(&painter, QRect((width() - imageSize) / 2 + shift, imageTopHere + shift, imageSize, imageSize),
                 Qt::AlignCenter, mode);
    if (text().isEmpty())
        return;
    painter.setFont(captionFont());
    const QRect captionArea(shift, imageTop + imageSize + shift, width(), height() - imageTop - imageSize);
    painter.drawText(captionArea, Qt::AlignHCenter | Qt::AlignTop, text());
}
