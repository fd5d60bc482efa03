#pragma once

#include "calib/shifttable.h"
#include "calib/stackregistration.h"
#include "calib/subpixelshift.h"
#include "display/messageline.h"
#include "stack/stackmodel.h"

#include <QObject>
#include <QPointer>

class CommandRegistry;
class ImgProc;
class StackAlignPanel;

// Drives the registration of whole stacks: registers I1 (and I0, by the same shifts or its
// own registration), puts the whole-pixel part of every shift into the images' alignment
// shifts, resamples the images by the sub-pixel part when asked, saves and loads the shift
// table, and runs the align_ batch commands. Its panel is a section of the alignment window,
// which owns the controller too, so that a registration stops before the images go.
class AlignmentController : public QObject
{
    Q_OBJECT

public:
    AlignmentController(StackModel *stacks, ImgProc *window, CommandRegistry &commands);
    ~AlignmentController() override;

    StackAlignPanel *panel() const;
    const ShiftTable &table(StackModel::Stack stack) const { return mTables[stack]; }
    bool isRunning() const { return mRegistration.isRunning(); }

    // Registers I1 with the panel's settings; false, with a message, when nothing started.
    bool alignStack();
    void stop();
    void applySubpixel(SubpixelShift::Method method);
    void saveTable(const QString &fileName);
    // Reads a table and applies its whole-pixel shifts to a stack.
    void loadTable(const QString &fileName, StackModel::Stack stack);

signals:
    void message(MessageLine::Kind kind, const QString &text);
    // A registration is over (both stacks when I0 has its own); completed is false when it
    // was stopped or refused.
    void alignmentEnded(bool completed);
    // A batch align_stack that waited for the registration is finished.
    void batchCommandFinished();

private:
    void registerCommands(CommandRegistry &commands);
    bool startRegistration(StackModel::Stack stack);
    void registrationEnded(bool completed);
    void endAlignment(bool completed);
    // Puts the table's whole-pixel shifts into the stack; false, with a message, when the
    // table names images the stack does not have.
    bool applyWholeShifts(StackModel::Stack stack);
    void say(const QString &text);

    StackModel *mStacks;
    QPointer<StackAlignPanel> mPanel;
    StackRegistration mRegistration;
    ShiftTable mTables[2];
    bool mSubpixelApplied[2] = {false, false};
    StackModel::Stack mRegistering = StackModel::I1;
    StackRegistration::Settings mSettings;
    bool mBatch = false;
};
