#pragma once

#include <QPushButton>

// A push button whose text reads downwards.
class VPushButton : public QPushButton
{
    Q_OBJECT

public:
    explicit VPushButton(QWidget *parent = nullptr);
};
