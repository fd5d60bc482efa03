#pragma once

#include <QPushButton>

// A push button whose text reads downwards, for narrow upright places.
class VPushButton : public QPushButton
{
    Q_OBJECT

public:
    explicit VPushButton(QWidget *parent = nullptr);

    // The ordinary button's hints, width and height exchanged.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
