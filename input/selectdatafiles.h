#pragma once

#include <QFrame>
#include <QStringList>

class EOFSetup;
class QButtonGroup;
class QFileDialog;

namespace Ui {
class SelectDataFiles;
}

// File selector of one image stack: file dialog, skip and cut settings, the list of loaded
// images with their energies, and the energy setup window that gives them those energies.
class SelectDataFiles : public QFrame
{
    Q_OBJECT

public:
    explicit SelectDataFiles(QWidget *parent = nullptr);
    ~SelectDataFiles() override;

    // Lists one loaded image and returns the energy it gets.
    double addFile(const QString &name, int fNo);
    // Lists one loaded image whose energy its source gave.
    void addImage(const QString &name, double energy);

    void setSelectText(const QString &text);
    void setSetupTitle(const QString &title);
    EOFSetup *energySetup() const { return mEnergySetup; }

    int currentIndex() const;
    int count() const;
    bool newFileMode() const;
    bool showLatest() const;
    // The load settings as the user typed them (text that is no number reads as 0).
    int skipText() const;
    int cutFirstText() const;
    int cutLastText() const;
    // When the energy pattern found an energy in none of the listed names: offers, in the
    // energy setup window, to read the listed images again with a pattern of the list that
    // finds one in every name, and returns those patterns. Otherwise withdraws the offer.
    QStringList offerPatterns();

signals:
    void currentIndexChanged(int idx);
    // The user chose an item of the list, whether "Show Latest" is checked or not.
    void itemChosen(int idx);
    // The energy was to come from the name of an added file and the pattern found none.
    void energyNotInName(QString fileName);
    // The listed images are to be read again, every one of them, in place of the stack.
    void reloadRequested(QStringList files);
    void filesSelected(QStringList files, bool newFile);
    void clear();

public slots:
    void clearFiles();
    void prev();
    void next();
    void select(int idx);
    void setSkip(int skip);
    void setCutF(int cutF);
    void setCutL(int cutL);
    void setShowLatest(bool f);
    void setEngByName(bool f);
    void setEngByCalc(bool f);
    void setEngCalcStart(double start);
    void setEngCalcDelta(double delta);
    void setEngCalcEnd(double end);
    void setEngCalcNum(int num);
    void setEvenInEng(bool f);
    void setEvenInDeg(bool f);
    void setDispUnit(int idx);
    void setEngByNameRegExp(QString pattern);
    void setEngByNameFactor(double factor);
    void setEngByRef(QString fname);

private slots:
    void newImageSelected(int i);

private:
    QStringList listedNames() const;

    Ui::SelectDataFiles *mUi;
    QButtonGroup *mModeGroup;
    QFileDialog *mFileDialog;
    EOFSetup *mEnergySetup;
    // Listed names whose energy came from the name, and those where the pattern found none.
    int mNamesWithEnergy = 0;
    int mNamesWithoutEnergy = 0;
};
