#pragma once

#include "calib/shifttable.h"

#include <QWidget>

// The shifts of a shift table against energy: dx and dy as two curves, images without a shift
// left out.
class ShiftPlot : public QWidget
{
    Q_OBJECT

public:
    explicit ShiftPlot(QWidget *parent = nullptr);

    void setTable(const ShiftTable &table);
    QSize sizeHint() const override { return QSize(320, 160); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ShiftTable mTable;
};
