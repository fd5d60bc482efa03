#pragma once

#include <QFrame>

// File selector of one image stack: file dialog, skip and cut settings, loaded image list.
class SelectDataFiles : public QFrame
{
    Q_OBJECT

public:
    explicit SelectDataFiles(QWidget *parent = nullptr);
};
