#pragma once

#include "spectra/stackspectra.h"

#include <QObject>
#include <QSize>

#include <functional>

class CrossSView;
class ImageBrowser;
class ImgDispA;
class QAbstractButton;
class QLineEdit;

// What the main window reads out where the mouse points: the horizontal and vertical profiles
// through the pixel, in bands of the bin's widths, and the value of the image or of the result
// map shown over it.
class CursorReadout : public QObject
{
    Q_OBJECT

public:
    struct Views
    {
        CrossSView *horizontal = nullptr;
        CrossSView *vertical = nullptr;
        QLineEdit *value = nullptr;
        // Checked while a result map is drawn over the image.
        QAbstractButton *showsResultMap = nullptr;
    };

    // The stacks' spectra and the bin's half widths, as the main window is set up when read.
    CursorReadout(ImgDispA *display,
                  const ImageBrowser *browser,
                  Views views,
                  std::function<StackSpectra()> spectra,
                  std::function<QSize()> bin,
                  QObject *parent = nullptr);

public slots:
    // Reads out at the display's cursor position.
    void update();

private:
    ImgDispA *mDisplay;
    const ImageBrowser *mBrowser;
    Views mViews;
    std::function<StackSpectra()> mSpectra;
    std::function<QSize()> mBin;
};
