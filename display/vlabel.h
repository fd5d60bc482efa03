#pragma once

#include <QLabel>

// A label whose text reads downwards.
class VLabel : public QLabel
{
    Q_OBJECT

public:
    explicit VLabel(QWidget *parent = nullptr);

    // The ordinary label's hints, width and height exchanged.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
