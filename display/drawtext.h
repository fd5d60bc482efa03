#pragma once

#include <QColor>
#include <QObject>
#include <QRectF>

class QFont;
class QPainter;
class QString;

// Draws labels into boxes: text fitted to its box and text turned about the box centre. The
// colour bar and the plots use it for their numbers.
class DrawText : public QObject
{
public:
    explicit DrawText(QObject *parent = nullptr);

    // Draws text in rect (normalised first) with the alignment flags. With fit on, the point
    // size is chosen so that the text fills the rect, at most maxPointSize when that is
    // positive; otherwise the font is used as given. Returns the bounding rectangle of the
    // drawn text; nothing is drawn when the fitted size comes out as zero.
    QRectF drawFitted(QPainter *painter,
                      const QRectF &rect,
                      const QFont &font,
                      int flags,
                      bool fit,
                      const QString &text,
                      double maxPointSize);
    // Draws text turned by angle degrees in a box of rect's size centred on rect's top-left
    // corner; with fill on the box is filled with fillColour first. The painter's font and
    // turn are kept. Returns the bounding rectangle in turned coordinates.
    QRectF drawTurned(QPainter *painter,
                      double angle,
                      const QRectF &rect,
                      const QFont &font,
                      int flags,
                      bool fit,
                      const QString &text,
                      double maxPointSize,
                      bool fill,
                      const QColor &fillColour);

    // Colours of boxed labels.
    QColor frameColour() const { return mFrameColour; }
    QColor boxColour() const { return mBoxColour; }
    QColor darkBoxColour() const { return mDarkBoxColour; }
    QColor textColour() const { return mTextColour; }

private:
    QColor mFrameColour{0, 220, 220};
    QColor mBoxColour{170, 255, 170};
    QColor mDarkBoxColour{140, 180, 140};
    QColor mTextColour{0, 0, 0};
};
