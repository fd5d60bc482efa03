#pragma once

#include <QTranslator>

// The Japanese user interface: the program's own translation and Qt's translation of its
// own dialogs and buttons (file dialogs and the like), installed into the application for as
// long as this object lives.
class UiTranslators
{
public:
    // Installs both translators unless english is set. A translation that cannot be loaded
    // leaves its texts untranslated.
    explicit UiTranslators(bool english);
    ~UiTranslators();
    UiTranslators(const UiTranslators &) = delete;
    UiTranslators &operator=(const UiTranslators &) = delete;

    bool qtLoaded() const { return !mQt.isEmpty(); }

private:
    bool mInstalled = false;
    QTranslator mProgram;
    QTranslator mQt;
};
