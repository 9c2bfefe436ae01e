#pragma once

#include <QToolButton>

// A toolbar button of Toolbar1: 44 x 52 px, the 32 x 32 image over one line of
// caption. The caption uses the whole width of the button instead of the
// style's inner margins, and a caption that still does not fit is drawn a
// little smaller rather than cut short.
class ToolbarButton : public QToolButton
{
    Q_OBJECT

public:
    ToolbarButton(const QString &key, const QString &caption, const QString &toolTip,
                  const QIcon &image, QWidget *parent);

    QString key() const { return m_key; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The caption's font: the default font, shrunk only as far as needed to fit.
    QFont captionFont() const;

    QString m_key;
};
