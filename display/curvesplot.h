#pragma once

#include <QColor>
#include <QString>
#include <QVector>
#include <QWidget>

// A small plot of a few named curves with their legend, on a linear or a logarithmic value
// axis, with the ends of both axes written at its corners.
class CurvesPlot : public QWidget
{
    Q_OBJECT

public:
    struct Curve
    {
        QString name;
        QColor colour;
        QVector<QPointF> points;
    };

    explicit CurvesPlot(const QString &title, QWidget *parent = nullptr);

    void setCurves(const QVector<Curve> &curves);
    const QVector<Curve> &curves() const { return mCurves; }
    // Values on a logarithmic axis; those not above 0 are left out.
    void setLogarithmic(bool logarithmic);
    QSize sizeHint() const override { return QSize(320, 180); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double axisValue(double y) const;

    QString mTitle;
    QVector<Curve> mCurves;
    bool mLogarithmic = false;
};
