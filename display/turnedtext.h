#pragma once

class QPainter;
class QSize;
class QString;

// Writes text in black, turned by 90 degrees so that it reads downwards, centred in a widget
// of the given size.
void drawTurnedText(QPainter &painter, const QSize &size, const QString &text);
