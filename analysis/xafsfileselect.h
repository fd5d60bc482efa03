#pragma once

#include <QFrame>
#include <QString>

class QCheckBox;
class XafsSpectrum;
class QFileDialog;
class QLineEdit;
class QPushButton;

// One row that chooses the spectrum file of a reference: a use box, the chosen path and the
// buttons that open the file dialog.
class XafsFileSelect : public QFrame
{
    Q_OBJECT

public:
    explicit XafsFileSelect(QWidget *parent = nullptr);

    // Set once a file has been selected or loaded; never reset.
    bool fileChosen() const { return mFileChosen; }
    bool use() const;
    QString selectedFile() const;
    void setSelectText(const QString &text);
    // The file dialog, made when it is first needed.
    QFileDialog *fileDialog();
    // Shows what reading fname into spectrum gave: a file that could not be read leaves the
    // field empty with the reason in its place. Returns what the message line should say (why
    // the file could not be read, or that its points were sorted by energy), else nothing.
    QString showRead(const XafsSpectrum &spectrum, const QString &fname);

signals:
    void changedUse(bool f);
    void newFile(QString fname);

public slots:
    void load(QString fname);
    void fileSelected(QString fname);
    // Empties the path field; the chosen file stays in use.
    void clear();
    void setUse(bool f);
    void showUse(bool f);

private:
    QCheckBox *mUse;
    QLineEdit *mSelected;
    QPushButton *mSelect;
    QPushButton *mClear;
    bool mFileChosen = false;
    QFileDialog *mDialog = nullptr;
};
