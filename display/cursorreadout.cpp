#include "cursorreadout.h"

#include "analysis/analyzed2dres.h"
#include "display/crosssview.h"
#include "display/imagebrowser.h"
#include "display/imgdispa.h"
#include "input/tiffdata.h"
#include "spectra/numbertext.h"

#include <QAbstractButton>
#include <QLineEdit>

CursorReadout::CursorReadout(ImgDispA *display,
                             const ImageBrowser *browser,
                             Views views,
                             std::function<StackSpectra()> spectra,
                             std::function<QSize()> bin,
                             QObject *parent)
    : QObject(parent)
    , mDisplay(display)
    , mBrowser(browser)
    , mViews(views)
    , mSpectra(std::move(spectra))
    , mBin(std::move(bin))
{}

void CursorReadout::update()
{
    const QPointF cursor = mDisplay->cursorImagePos();
    const int x = int(cursor.x());
    const int y = int(cursor.y());
    const TiffData *image = mBrowser->currentImage();
    const QSize bin = mBin();

    Spectrum horizontal;
    Spectrum vertical;
    if (image) {
        const StackSpectra spectra = mSpectra();
        const bool absorption = mBrowser->showsI1();
        horizontal = spectra.horizontalProfile(image, y, bin.height(), absorption);
        vertical = spectra.verticalProfile(image, x, bin.width(), absorption);
    }
    const auto showProfile = [](CrossSView *view, const Spectrum &profile, int marker) {
        view->setProfile(profile);
        view->setOffset(false, 0.0);
        view->setMarker(marker);
        view->update();
    };
    showProfile(mViews.horizontal, horizontal, x);
    showProfile(mViews.vertical, vertical, y);

    if (!mViews.showsResultMap->isChecked()) {
        mViews.value->setText(groupedNumberText(image ? image->shiftedValue(x, y) : 0.0));
    } else if (const Analyzed2DRes *map = mDisplay->overlayer()) {
        // The value the map shows: the processed one while processed values are drawn.
        mViews.value->setText(
            groupedNumberText(map->showProc() ? map->procValue(x, y) : map->value(x, y)));
    }
}
