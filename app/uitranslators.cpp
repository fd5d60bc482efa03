#include "uitranslators.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLibraryInfo>

UiTranslators::UiTranslators(bool english)
{
    if (english)
        return;
    mProgram.load(QStringLiteral(":Marvolenti_ja_JP"), QCoreApplication::applicationDirPath());
    const QString qtDir = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    if (!mQt.load(QStringLiteral("qtbase_ja"), qtDir))
        qDebug().noquote() << "Can't load Qt's Japanese translation from" << qtDir;
    QCoreApplication::installTranslator(&mQt);
    // Installed last, so that the program's own texts are looked up first.
    QCoreApplication::installTranslator(&mProgram);
    mInstalled = true;
}

UiTranslators::~UiTranslators()
{
    if (!mInstalled)
        return;
    QCoreApplication::removeTranslator(&mProgram);
    QCoreApplication::removeTranslator(&mQt);
}
