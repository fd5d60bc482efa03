#pragma once

#include <QFrame>

// Base display area: a framed widget that maps screen pixels to real coordinates.
class DispA : public QFrame
{
    Q_OBJECT

public:
    explicit DispA(QWidget *parent = nullptr);
};
