#include "alignmentcontroller.h"

#include "batch/batchcommands.h"
#include "batch/commandregistry.h"
#include "calib/imgproc.h"
#include "calib/stackalignpanel.h"
#include "input/tiffdata.h"

#include <cmath>

AlignmentController::AlignmentController(StackModel *stacks,
                                         ImgProc *window,
                                         CommandRegistry &commands)
    : QObject(window)
    , mStacks(stacks)
    , mPanel(new StackAlignPanel)
{
    window->addSection(mPanel);
    registerCommands(commands);
    connect(mPanel, &StackAlignPanel::alignRequested, this, &AlignmentController::alignStack);
    connect(mPanel, &StackAlignPanel::stopRequested, this, &AlignmentController::stop);
    connect(mPanel,
            &StackAlignPanel::applySubpixelRequested,
            this,
            &AlignmentController::applySubpixel);
    connect(mPanel, &StackAlignPanel::saveRequested, this, &AlignmentController::saveTable);
    connect(mPanel, &StackAlignPanel::loadRequested, this, [this](const QString &name, int stack) {
        loadTable(name, StackModel::Stack(stack));
    });
    connect(&mRegistration, &StackRegistration::progress, mPanel, &StackAlignPanel::setProgress);
    connect(&mRegistration,
            &StackRegistration::finished,
            this,
            &AlignmentController::registrationEnded);
    // The threads read the images: they stop before any image goes.
    connect(mStacks, &StackModel::aboutToClear, this, &AlignmentController::stop);
}

AlignmentController::~AlignmentController()
{
    mRegistration.stopAndWait();
}

StackAlignPanel *AlignmentController::panel() const
{
    return mPanel;
}

void AlignmentController::registerCommands(CommandRegistry &commands)
{
    // align_stack REF|last [chain] [gradient] [upsample N]
    commands.add(QStringLiteral("align_stack"),
                 AlignStack,
                 CommandRegistry::WaitsForWork,
                 [this](const CmdLine &cmd) {
                     StackRegistration::Settings settings = mPanel->settings();
                     const QString reference = cmd.arg(0);
                     bool isNumber = false;
                     settings.reference = reference.toInt(&isNumber);
                     if (reference == QLatin1String("last"))
                         settings.reference = mStacks->i1Images().size() - 1;
                     else if (!isNumber) {
                         say(tr("align_stack: the reference is an image index or \"last\""));
                         return false;
                     }
                     const QStringList args = cmd.args.mid(1);
                     settings.chain = args.contains(QLatin1String("chain"));
                     settings.options.gradient = args.contains(QLatin1String("gradient"));
                     const int upsample = args.indexOf(QLatin1String("upsample"));
                     settings.options.upsample
                         = upsample >= 0 ? args.value(upsample + 1).toInt() : 100;
                     if (settings.options.upsample < 1) {
                         say(tr("align_stack: the upsampling factor is a whole number from 1"));
                         return false;
                     }
                     mSettings = settings;
                     mBatch = startRegistration(StackModel::I1);
                     return mBatch;
                 });
    commands.add(QStringLiteral("align_i0"), AlignI0, [this](const CmdLine &cmd) {
        const QStringList modes
            = {QStringLiteral("same"), QStringLiteral("own"), QStringLiteral("none")};
        const int mode = modes.indexOf(cmd.arg(0));
        if (mode < 0)
            say(tr("align_i0: same, own or none"));
        else
            mPanel->setI0Mode(StackAlignPanel::I0Mode(mode));
    });
    commands.add(QStringLiteral("align_area"), AlignArea, [this](const CmdLine &cmd) {
        mPanel->setArea(
            QRect(cmd.arg(0).toInt(), cmd.arg(1).toInt(), cmd.arg(2).toInt(), cmd.arg(3).toInt()));
    });
    commands.add(
        QStringLiteral("align_apply_subpixel"), AlignApplySubpixel, [this](const CmdLine &cmd) {
            SubpixelShift::Method method;
            if (SubpixelShift::methodOf(cmd.arg(0), &method))
                applySubpixel(method);
            else
                say(tr("align_apply_subpixel: bilinear or fourier"));
        });
    commands.add(QStringLiteral("save_shift_table"), SaveShiftTable, [this](const CmdLine &cmd) {
        saveTable(cmd.arg(0));
    });
    commands.add(QStringLiteral("load_shift_table"), LoadShiftTable, [this](const CmdLine &cmd) {
        const QString target = cmd.arg(1).toLower();
        if (!target.isEmpty() && target != QLatin1String("i1") && target != QLatin1String("i0")) {
            say(tr("load_shift_table: the stack is i1 or i0"));
            return;
        }
        loadTable(cmd.arg(0), target == QLatin1String("i0") ? StackModel::I0 : StackModel::I1);
    });
}

void AlignmentController::say(const QString &text)
{
    emit message(MessageLine::Other, text);
}

bool AlignmentController::alignStack()
{
    mSettings = mPanel->settings();
    mBatch = false;
    return startRegistration(StackModel::I1);
}

bool AlignmentController::startRegistration(StackModel::Stack stack)
{
    QString error;
    StackRegistration::Settings settings = mSettings;
    // I0 is registered against its own image of the reference's energy.
    if (stack == StackModel::I0)
        settings.reference = -1;
    if (!mRegistration.start(mStacks->images(stack), settings, &error)) {
        say(tr("Stack not aligned: %1").arg(error));
        return false;
    }
    mRegistering = stack;
    mPanel->setRunning(true);
    return true;
}

void AlignmentController::stop()
{
    mRegistration.stopAndWait();
}

void AlignmentController::registrationEnded(bool completed)
{
    if (!completed) {
        say(tr("Stack alignment stopped"));
        endAlignment(false);
        return;
    }
    const StackModel::Stack stack = mRegistering;
    mTables[stack] = mRegistration.table();
    mSubpixelApplied[stack] = false;
    for (const ShiftTable::Row &row : qAsConst(mTables[stack].rows)) {
        if (!row.ok)
            say(tr("Image %1 not registered: %2").arg(row.image).arg(row.error));
    }
    applyWholeShifts(stack);
    say(tr("Stack aligned: %1 of %2 images registered")
            .arg(mTables[stack].usableCount())
            .arg(mTables[stack].rows.size()));
    if (stack == StackModel::I1) {
        mPanel->setTable(mTables[StackModel::I1]);
        const StackAlignPanel::I0Mode mode = mPanel->i0Mode();
        if (mode == StackAlignPanel::I0Own && !mStacks->i0Images().isEmpty()) {
            if (startRegistration(StackModel::I0))
                return;
        } else if (mode == StackAlignPanel::I0Same && !mStacks->i0Images().isEmpty()) {
            if (mStacks->i0Images().size() == mStacks->i1Images().size()) {
                mTables[StackModel::I0] = mTables[StackModel::I1];
                mSubpixelApplied[StackModel::I0] = false;
                applyWholeShifts(StackModel::I0);
            } else {
                say(tr("I0 holds %1 images and I1 %2: the I1 shifts are not applied to I0")
                        .arg(mStacks->i0Images().size())
                        .arg(mStacks->i1Images().size()));
            }
        }
    }
    endAlignment(true);
}

void AlignmentController::endAlignment(bool completed)
{
    mPanel->setRunning(false);
    emit alignmentEnded(completed);
    if (mBatch) {
        mBatch = false;
        emit batchCommandFinished();
    }
}

bool AlignmentController::applyWholeShifts(StackModel::Stack stack)
{
    const ShiftTable &table = mTables[stack];
    for (const ShiftTable::Row &row : table.rows) {
        if (!mStacks->image(stack, row.image)) {
            say(tr("The shift table names image %1, which the stack does not hold").arg(row.image));
            return false;
        }
    }
    for (const ShiftTable::Row &row : table.rows) {
        if (row.ok)
            mStacks->setShift(stack, row.image, int(std::lround(row.dx)), int(std::lround(row.dy)));
    }
    return true;
}

void AlignmentController::applySubpixel(SubpixelShift::Method method)
{
    if (isRunning() || mStacks->inUse()) {
        say(tr("The images are in use: sub-pixel shifts not applied"));
        return;
    }
    int applied = 0;
    for (StackModel::Stack stack : {StackModel::I1, StackModel::I0}) {
        if (mSubpixelApplied[stack] || mTables[stack].isEmpty())
            continue;
        for (const ShiftTable::Row &row : qAsConst(mTables[stack].rows)) {
            TiffData *image = mStacks->image(stack, row.image);
            if (!row.ok || !image)
                continue;
            SubpixelShift::apply(
                *image, row.dx - std::lround(row.dx), row.dy - std::lround(row.dy), method);
            if (image->hasDisplayImage())
                image->makeDisplayImage();
            ++applied;
        }
        mSubpixelApplied[stack] = true;
    }
    if (applied == 0) {
        say(tr("No sub-pixel shifts to apply"));
        return;
    }
    emit mStacks->shiftsChanged();
    say(tr("Sub-pixel shifts applied to %1 images").arg(applied));
}

void AlignmentController::saveTable(const QString &fileName)
{
    QString error;
    if (mTables[StackModel::I1].isEmpty())
        say(tr("No shift table to save"));
    else if (!mTables[StackModel::I1].save(fileName, &error))
        say(error);
    else
        say(tr("Shift table saved: %1").arg(fileName));
}

void AlignmentController::loadTable(const QString &fileName, StackModel::Stack stack)
{
    if (isRunning()) {
        say(tr("A stack alignment is running: shift table not loaded"));
        return;
    }
    ShiftTable table;
    QString error;
    if (!ShiftTable::load(fileName, &table, &error)) {
        say(error);
        return;
    }
    const ShiftTable previous = mTables[stack];
    mTables[stack] = table;
    if (!applyWholeShifts(stack)) {
        mTables[stack] = previous;
        return;
    }
    mSubpixelApplied[stack] = false;
    if (stack == StackModel::I1)
        mPanel->setTable(table);
    say(tr("Shift table loaded: %1").arg(fileName));
}
