#include "selectdatafiles.h"

SelectDataFiles::SelectDataFiles(QWidget *parent)
    : QFrame(parent)
{}
